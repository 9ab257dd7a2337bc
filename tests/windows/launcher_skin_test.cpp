// The launcher's controls and resources on screen, for launcher_skin_test.sh: its window template with
// every control bound, the about box, then a test dialog run the way a program with its own message loop
// runs (modeless main window): the owner-drawn button with a two-line and a one-line caption, without a
// skin, hovered, and a bitmap button whose file is missing (the built-in image 172).
#include "skin_test_ids.h"
#include "skin_test_support.h"

#include "controls/bmp_button.h"
#include "common/log.h"
#include "framework/app.h"
#include "launcher/resource.h"
#include "launcher/xp_button.h"

using namespace skintest;

namespace {

// The launcher's own window template, bound as the launcher binds it.
class LauncherWindow : public StepDialog {
public:
    LauncherWindow() : StepDialog(IDD_PALVIO_DIALOG) {}

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_LOGO, m_logo);
        DDX_Control(exchange, IDC_CLOSE, m_close);
        DDX_Control(exchange, IDC_BUT_PALVIO, m_palvio);
        DDX_Control(exchange, IDC_BUT_SD, m_sd);
        DDX_Control(exchange, IDC_BUT_DIALUP, m_dialup);
        DDX_Control(exchange, IDC_BUT_MTP, m_mtp);
    }
    std::string Step(int step) override {
        if (step == 1) {
            CheckTemplateSize(m_hWnd, 203, 209, "the launcher window");
            DWORD style = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
            Check((style & WS_BORDER) && (style & WS_CAPTION) != WS_CAPTION &&
                      (GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW),
                  "the launcher window has a thin border, no caption and shows in the taskbar");
            Check(!IsWindowEnabled(m_logo.m_hWnd), "the logo button is disabled");
            HINSTANCE instance = GetModuleHandleA(nullptr);
            for (CMyBmpButton* button : {&m_logo, &m_close}) {
                if (!button->LoadBitmapFiles(File("missing.bmp").c_str(), nullptr, instance))
                    button->LoadBitmaps(IDB_IMAGE_FALLBACK);
            }
            for (CXPButton* button : {&m_palvio, &m_sd, &m_dialup, &m_mtp}) {
                button->m_hModule = instance;
                button->SetBitmapFiles(File("button.bmp"), File("buttonsel.bmp"));
            }
            Invalidate(TRUE);
            return StepTitle(1);
        }
        if (step == 2) {
            class AboutBox : public StepDialog {
            public:
                explicit AboutBox(CWnd* parent) : StepDialog(IDD_ABOUTBOX, parent) {}

            protected:
                std::string Step(int step) override {
                    if (step == 1)
                        return GetWindowText();
                    SendDlgItemMessageA(m_hWnd, IDOK, BM_CLICK, 0, 0);
                    return "";
                }
            } about(this);
            Check(about.DoModal() == IDOK, "the about box ends with its OK button");
            EndDialog(IDCANCEL);
        }
        return "";
    }

private:
    CMyBmpButton m_logo, m_close;
    CXPButton m_palvio, m_sd, m_dialup, m_mtp;
};

class SkinTest : public StepDialog {
public:
    SkinTest() : StepDialog(IDD_LAUNCHER_SKIN_TEST) {}

protected:
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_XP_TWO_LINES, m_twoLines);
        DDX_Control(exchange, IDC_XP_ONE_LINE, m_oneLine);
        DDX_Control(exchange, IDC_XP_NO_SKIN, m_noSkin);
        DDX_Control(exchange, IDC_BMP_LAUNCHER_MISSING, m_missing);
    }

    BOOL OnInitDialog() override {
        StepDialog::OnInitDialog();
        // Pixel places, client coordinates; launcher_skin_test.sh knows the same.
        SetWindowPos(nullptr, 0, 0, 220, 220, SWP_NOMOVE | SWP_NOZORDER);
        m_twoLines.SetWindowPos(nullptr, 10, 10, 160, 60, SWP_NOZORDER | SWP_NOACTIVATE);
        m_oneLine.SetWindowPos(nullptr, 10, 80, 160, 60, SWP_NOZORDER | SWP_NOACTIVATE);
        m_noSkin.SetWindowPos(nullptr, 10, 150, 160, 60, SWP_NOZORDER | SWP_NOACTIVATE);
        m_missing.SetWindowPos(nullptr, 180, 10, 30, 30, SWP_NOZORDER | SWP_NOACTIVATE);

        HINSTANCE instance = GetModuleHandleA(nullptr);
        for (CXPButton* button : {&m_twoLines, &m_oneLine}) {
            button->m_hModule = instance;
            button->SetBitmapFiles(File("button.bmp"), File("buttonsel.bmp"));
        }
        m_noSkin.SetBitmapFiles(File("noskin.bmp"), File("noskin.bmp"));
        Check(!m_missing.LoadBitmapFiles(File("truncated.bmp").c_str(), nullptr, instance),
              "a cut bitmap file is refused");
        Check(m_missing.LoadBitmaps(IDB_IMAGE_FALLBACK) != FALSE, "the built-in image 172 instead");
        m_missing.SizeToContent();
        return TRUE;
    }

    std::string Step(int step) override {
        switch (step) {
        case 1:
            MoveMouseToScreen(215, 215);
            return StepTitle(3);
        case 2:
            MoveMouseTo(m_twoLines.m_hWnd);
            return StepTitle(4);
        default:
            // As the launcher's window when the medium has gone: destroyed, which ends the program's loop.
            DestroyWindow();
            return "";
        }
    }

private:
    CXPButton m_twoLines, m_oneLine, m_noSkin;
    CMyBmpButton m_missing;
};

class SkinTestApp : public CWinApp {
public:
    BOOL InitInstance() override {
        InitLogFile();
        SetFolder(m_lpCmdLine);
        SetTitlePrefix("Launcher skin test");
        CheckProgramResources(IDS_ABOUTBOX, "&About Palvio...", "asInvoker", "Palvio autorun launcher");
        {
            LauncherWindow window;
            Check(window.DoModal() == IDCANCEL, "the launcher window ends after its about box");
        }
        if (!Check(m_dialog.Create(IDD_LAUNCHER_SKIN_TEST), "the test dialog opens modeless"))
            return FALSE;
        m_pMainWnd = &m_dialog;
        return TRUE; // the message loop runs until the main window is gone
    }

    int Run() override {
        int code = CWinApp::Run();
        Check(m_pMainWnd == nullptr && m_dialog.m_hWnd == nullptr, "the loop ended with its main window");
        Check(true, "done");
        return code;
    }

private:
    SkinTest m_dialog;
} g_app;

} // namespace
