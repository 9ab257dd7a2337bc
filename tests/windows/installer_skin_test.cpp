// The installer's controls and resources on screen, for installer_skin_test.sh: its window template with
// the progress bar and the close button bound, the about box, then a test dialog that holds every control
// of the installer in each of its looks (progress bars at 0, 100 and more, right-aligned text; the
// owner-drawn button normal, hovered, pressed, with and without its own images; bitmap buttons from files
// and, for a missing, cut or foreign file, the built-in image 136).
#include "skin_test_ids.h"
#include "skin_test_support.h"

#include "controls/bmp_button.h"
#include "controls/progress.h"
#include "common/log.h"
#include "framework/app.h"
#include "installer/resource.h"
#include "installer/xp_button.h"

#include <atomic>

using namespace skintest;

namespace {

// Pixel places, client coordinates; installer_skin_test.sh knows the same.
struct Place {
    int id, x, y, width, height;
};
const Place kPlaces[] = {
    {IDC_PROGRESS_EMPTY, 10, 10, 150, 20}, {IDC_PROGRESS_FULL, 10, 40, 150, 20},
    {IDC_PROGRESS_NARROW, 10, 70, 60, 20}, {IDC_PROGRESS_HALF, 10, 100, 150, 20},
    {IDC_XP_ALL_IMAGES, 200, 10, 80, 60},  {IDC_XP_NORMAL_ONLY, 300, 10, 80, 60},
    {IDC_BMP_FILES, 200, 100, 30, 30},     {IDC_BMP_MISSING, 240, 100, 30, 30},
    {IDC_BMP_TRUNCATED, 280, 100, 30, 30}, {IDC_BMP_FOREIGN, 320, 100, 30, 30},
    {IDC_BMP_DISABLED, 360, 100, 30, 30},
};

const COLORREF kWhite = RGB(255, 255, 255), kYellow = RGB(255, 255, 0), kSilver = RGB(192, 192, 192);

// The installer's own window template, bound as the installer binds it.
class InstallerWindow : public StepDialog {
public:
    InstallerWindow() : StepDialog(IDD_INSTORIA_DIALOG) {}

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_PROGRESS, m_progress);
        DDX_Control(exchange, IDC_CLOSE, m_btnClose);
    }
    std::string Step(int step) override {
        if (step == 1) {
            CheckTemplateSize(m_hWnd, 200, 71, "the installer window");
            DWORD style = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
            DWORD exStyle = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE));
            Check(
                !(style & (WS_CAPTION | WS_SYSMENU | WS_BORDER)) && (exStyle & WS_EX_TOPMOST) &&
                    (exStyle & WS_EX_APPWINDOW),
                "the installer window has no caption, menu or border, stays on top and shows in the taskbar");
            Check(!m_btnClose.IsWindowVisible(), "the close button starts hidden");
            m_progress.SetRange(100);
            m_progress.SetPos(50);
            return StepTitle(1);
        }
        if (step == 2) {
            class AboutBox : public StepDialog {
            public:
                explicit AboutBox(CWnd* parent) : StepDialog(IDD_ABOUTBOX, parent) {}

            protected:
                std::string Step(int step) override {
                    if (step == 1)
                        return GetWindowText(); // its own caption is the sign
                    SendDlgItemMessageA(m_hWnd, IDOK, BM_CLICK, 0, 0);
                    return "";
                }
            } about(this);
            Check(about.DoModal() == IDOK, "the about box ends with its OK button");
            EndDialog(IDOK);
        }
        return "";
    }

private:
    CMyProgress m_progress;
    CXPButton m_btnClose;
};

class SkinTest : public StepDialog {
public:
    SkinTest() : StepDialog(IDD_INSTALLER_SKIN_TEST) {}

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_PROGRESS_EMPTY, m_empty);
        DDX_Control(exchange, IDC_PROGRESS_FULL, m_full);
        DDX_Control(exchange, IDC_PROGRESS_NARROW, m_narrow);
        DDX_Control(exchange, IDC_PROGRESS_HALF, m_half);
        DDX_Control(exchange, IDC_XP_ALL_IMAGES, m_allImages);
        DDX_Control(exchange, IDC_XP_NORMAL_ONLY, m_normalOnly);
        DDX_Control(exchange, IDC_BMP_FILES, m_bmpFiles);
        DDX_Control(exchange, IDC_BMP_MISSING, m_bmpMissing);
        DDX_Control(exchange, IDC_BMP_TRUNCATED, m_bmpTruncated);
        DDX_Control(exchange, IDC_BMP_FOREIGN, m_bmpForeign);
        DDX_Control(exchange, IDC_BMP_DISABLED, m_bmpDisabled);
    }

    BOOL OnInitDialog() override {
        StepDialog::OnInitDialog();
        SetWindowPos(nullptr, 0, 0, 420, 150, SWP_NOMOVE | SWP_NOZORDER);
        for (const Place& place : kPlaces)
            ::SetWindowPos(GetDlgItem(m_hWnd, place.id), nullptr, place.x, place.y, place.width, place.height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        SetUpControls();
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* message) override {
        // As in the installer's window: neither key closes it.
        if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN))
            return TRUE;
        return StepDialog::PreTranslateMessage(message);
    }

    std::string Step(int step) override {
        switch (step) {
        case 1: // everything in its first look; the mouse away from the buttons
            MoveMouseToScreen(5, 140);
            break;
        case 2:
            MoveMouseTo(m_allImages.m_hWnd);
            break;
        case 3:
            LeftButton(true);
            break;
        case 4:
            LeftButton(false);
            break;
        case 5:
            MoveMouseTo(m_normalOnly.m_hWnd);
            break;
        case 6:
            LeftButton(true);
            break;
        case 7:
            LeftButton(false);
            MoveMouseTo(m_bmpFiles.m_hWnd);
            LeftButton(true);
            break;
        case 8:
            // Escape must not end the window; and what the installer's worker does, from a thread.
            LeftButton(false);
            MoveMouseToScreen(5, 140);
            PressKey(VK_ESCAPE);
            StartWorker(&SkinTest::WorkerShowsProgress);
            return kLater;
        default:
            // The installer's worker ends the program by posting WM_QUIT to the window.
            StartWorker(&SkinTest::WorkerQuits);
            return "";
        }
        return StepTitle(step + 2);
    }

private:
    void SetUpControls() {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        m_full.SetPos(150);
        m_narrow.SetPos(90);
        m_half.SetRange(-5);
        m_half.SetPos(50);

        m_allImages.m_hModule = instance;
        Check(m_allImages.SetBitmapFiles(File("normal.bmp"), File("hover.bmp")) == 1,
              "normal and hover images");
        Check(m_allImages.SetPressedBitmap(File("pressed.bmp")) == 1, "pressed image");
        m_allImages.SetCaptions("Exit", "Exit");
        m_normalOnly.m_hModule = instance;
        Check(m_normalOnly.SetBitmapFiles(File("normal.bmp"), File("missing.bmp")) == 0,
              "a missing hover image fails the pair but keeps the normal one");
        Check(m_normalOnly.SetPressedBitmap(File("pressed.txt")) == 0, "a pressed image must be a .bmp file");
        Check(m_normalOnly.SetBitmapFiles(File("normal.png"), File("hover.bmp")) == 0,
              "images must be .bmp files");
        for (CXPButton* button : {&m_allImages, &m_normalOnly}) {
            button->SetStateColor(0, kYellow, FALSE);
            button->SetStateColor(1, RGB(0, 0, 0), FALSE);
            button->SetStateColor(2, kWhite, FALSE);
            button->SetStateColor(3, RGB(0, 0, 0), FALSE);
            button->SetStateColor(4, kSilver, TRUE);
            Check(button->SetStateColor(6, RGB(255, 0, 0), TRUE) == 0, "colour slot 6 is refused");
        }

        Check(m_bmpFiles.LoadBitmapFiles(File("exit.bmp").c_str(), File("exitsel.bmp").c_str(), instance) ==
                  1,
              "bitmap button images from files");
        m_bmpFiles.SizeToContent();
        struct Broken {
            CMyBmpButton* button;
            const char* file;
        } broken[] = {{&m_bmpMissing, "missing.bmp"},
                      {&m_bmpTruncated, "truncated.bmp"},
                      {&m_bmpForeign, "foreign.bmp"}};
        for (const Broken& item : broken) {
            Check(item.button->LoadBitmapFiles(File(item.file).c_str(), File("exitsel.bmp").c_str(),
                                               instance) == 0,
                  "%s is refused", item.file);
            // What the installer's window does then: the built-in image.
            Check(item.button->LoadBitmaps(IDB_EXIT_FALLBACK) != FALSE,
                  "the built-in image 136 instead of %s", item.file);
            item.button->SizeToContent();
        }
        Check(m_bmpDisabled.LoadBitmapFiles(File("exit.bmp").c_str(), nullptr, instance) == 1,
              "a normal image alone is enough");
        m_bmpDisabled.SizeToContent();
    }

    void StartWorker(void (SkinTest::*work)()) {
        m_work = work;
        HANDLE thread = CreateThread(nullptr, 0, &SkinTest::RunWorker, this, 0, nullptr);
        if (thread)
            CloseHandle(thread);
        Check(thread != nullptr, "the worker thread starts");
    }
    static DWORD WINAPI RunWorker(void* self) {
        auto* dialog = static_cast<SkinTest*>(self);
        (dialog->*(dialog->m_work))();
        return 0;
    }
    void WorkerShowsProgress() {
        m_empty.SetPos(40);
        m_half.ShowWindow(SW_HIDE);
        Invalidate(TRUE);
        UpdateWindow();
        PublishLater(StepTitle(10));
    }
    void WorkerQuits() {
        m_bQuitPosted = true;
        PostMessage(WM_QUIT);
    }

public:
    bool QuitPosted() const { return m_bQuitPosted; }

private:
    std::atomic<bool> m_bQuitPosted{false};

    CMyProgress m_empty, m_full, m_narrow, m_half;
    CXPButton m_allImages, m_normalOnly;
    CMyBmpButton m_bmpFiles, m_bmpMissing, m_bmpTruncated, m_bmpForeign, m_bmpDisabled;
    void (SkinTest::*m_work)() = nullptr;
};

class SkinTestApp : public CWinApp {
public:
    BOOL InitInstance() override {
        InitLogFile();
        SetFolder(m_lpCmdLine);
        SetTitlePrefix("Installer skin test");
        CheckProgramResources(IDS_ABOUTBOX, "&About Instoria...", "requireAdministrator",
                              "Instoria driver installer");
        CBitmap fallback;
        SIZE size = fallback.LoadBitmap(IDB_EXIT_FALLBACK) ? fallback.GetSize() : SIZE{0, 0};
        Check(size.cx == 21 && size.cy == 23, "the built-in image 136 is 21 x 23 pixels (%ld x %ld)", size.cx,
              size.cy);
        {
            InstallerWindow window;
            m_pMainWnd = &window;
            Check(window.DoModal() == IDOK, "the installer window ends with its about box");
        }
        SkinTest dialog;
        m_pMainWnd = &dialog;
        // -1 is also the answer of a dialog that could not be made: the worker must have posted the quit.
        Check(dialog.DoModal() == -1 && dialog.QuitPosted(),
              "a quit message from the worker ends the modal run");
        m_pMainWnd = nullptr;
        Check(true, "done");
        return FALSE; // a dialog-based program: no message loop of its own
    }
} g_app;

} // namespace
