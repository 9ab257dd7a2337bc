#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/file_find.h"

#include "framework_test.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

constexpr UINT kRunAction = WM_APP + 1;

class CountingButton : public CButton {
public:
    int m_nDraws = 0;

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override {
        ++m_nDraws;
        FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
};

// The test dialog: its set-up and its one posted action are given by the test.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_FRAMEWORK_TEST, parent) {}

    std::function<void(TestDialog&)> m_onInit;
    std::function<void(TestDialog&)> m_action;
    bool m_bSwallowEscape = false;
    int m_nDestroyCalls = 0;
    CountingButton m_button;
    CStatic m_static;

    BOOL PreTranslateMessage(MSG* message) override {
        if (m_bSwallowEscape && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE)
            return TRUE;
        return CDialog::PreTranslateMessage(message);
    }
    BOOL DestroyWindow() override {
        ++m_nDestroyCalls;
        return CDialog::DestroyWindow();
    }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, IDC_TEST_BUTTON, m_button);
        DDX_Control(exchange, IDC_TEST_STATIC, m_static);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRunAction && m_action) {
            m_action(*this);
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

// Runs a function on a thread of its own and waits for it at the end of the scope.
class Worker {
public:
    explicit Worker(std::function<void()> work) : m_work(std::move(work)) {
        m_thread = CreateThread(nullptr, 0, &Worker::Run, this, 0, nullptr);
    }
    ~Worker() {
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
    }

private:
    static DWORD WINAPI Run(void* self) {
        static_cast<Worker*>(self)->m_work();
        return 0;
    }
    std::function<void()> m_work;
    HANDLE m_thread;
};

bool QuitIsPending() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

} // namespace

TEST(Dialog, ModalRunBindsItsControlsAndEndsWithTheResultAWorkerGives) {
    TestDialog dialog;
    HWND seenButton = nullptr;
    bool bound = false;
    bool hiddenByWorker = false;
    dialog.m_onInit = [&](TestDialog& self) {
        seenButton = GetDlgItem(self.m_hWnd, IDC_TEST_BUTTON);
        bound = self.m_button.m_hWnd == seenButton &&
                CWnd::FromHandlePermanent(seenButton) == &self.m_button &&
                self.m_static.m_hWnd == GetDlgItem(self.m_hWnd, IDC_TEST_STATIC);
        self.PostMessage(kRunAction);
    };
    std::unique_ptr<Worker> worker;
    dialog.m_action = [&](TestDialog& self) {
        // What the installer's worker does with the window, from its own thread.
        worker = std::make_unique<Worker>([&self, &hiddenByWorker] {
            self.ShowWindow(SW_SHOW);
            self.m_button.Invalidate();
            self.UpdateWindow();
            self.ShowWindow(SW_HIDE);
            hiddenByWorker = !self.IsWindowVisible();
            self.EndDialog(42);
        });
    };
    EXPECT_EQ(42, dialog.DoModal());
    worker.reset();
    EXPECT_TRUE(bound);
    EXPECT_TRUE(hiddenByWorker);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.m_button.m_hWnd); // the controls let go with their window
    EXPECT_FALSE(IsWindow(seenButton));
    EXPECT_EQ(1, dialog.m_nDestroyCalls);
    EXPECT_GE(dialog.m_button.m_nDraws, 1); // owner-drawn: the dialog handed it its WM_DRAWITEM
}

TEST(Dialog, EscapeCancelsUnlessPreTranslateMessageSwallowsIt) {
    for (bool swallow : {false, true}) {
        TestDialog dialog;
        dialog.m_bSwallowEscape = swallow;
        dialog.m_onInit = [](TestDialog& self) {
            self.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            self.PostMessage(kRunAction); // comes after the key: ends the run unless the key did
        };
        dialog.m_action = [](TestDialog& self) { self.EndDialog(7); };
        EXPECT_EQ(swallow ? 7 : IDCANCEL, dialog.DoModal()) << (swallow ? "swallowed" : "not swallowed");
        EXPECT_EQ(1, dialog.m_nDestroyCalls);
    }
}

TEST(Dialog, AQuitMessageEndsEveryNestedRunAndIsConsumedByTheOutermost) {
    TestDialog outer;
    bool outerDisabledDuringInner = false;
    bool outerEnabledAfterInner = false;
    INT_PTR innerResult = 0;
    outer.m_onInit = [](TestDialog& self) { self.PostMessage(kRunAction); };
    outer.m_action = [&](TestDialog& self) {
        TestDialog inner(&self);
        std::unique_ptr<Worker> worker;
        inner.m_onInit = [&](TestDialog& innerSelf) {
            outerDisabledDuringInner = !IsWindowEnabled(self.m_hWnd);
            // The installer's worker ends the program by posting WM_QUIT to its window.
            HWND window = innerSelf.m_hWnd;
            worker = std::make_unique<Worker>([window] { PostMessageA(window, WM_QUIT, 0, 0); });
        };
        innerResult = inner.DoModal();
        outerEnabledAfterInner = IsWindowEnabled(self.m_hWnd) != FALSE;
    };
    EXPECT_EQ(-1, outer.DoModal());
    EXPECT_EQ(-1, innerResult);
    EXPECT_TRUE(outerDisabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_FALSE(QuitIsPending()); // a message box shown after the run would still work
}

TEST(Dialog, DestroyingTheWindowEndsTheModalRun) {
    TestDialog dialog;
    dialog.m_onInit = [](TestDialog& self) { self.PostMessage(kRunAction); };
    dialog.m_action = [](TestDialog& self) { self.DestroyWindow(); };
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_nDestroyCalls);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(Dialog, AMissingControlIsLoggedAndLeftUnbound) {
    DeleteLog();
    class Missing : public CDialog {
    public:
        Missing() : CDialog(IDD_FRAMEWORK_TEST) {}
        CButton m_button;

    protected:
        void DoDataExchange(CDataExchange* exchange) override { DDX_Control(exchange, 999, m_button); }
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            EndDialog(IDOK);
            return TRUE;
        }
    } dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_button.m_hWnd);
    std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(),
              std::find(messages.begin(), messages.end(), "ERR: the dialog has no control 999 to bind."));
}

TEST(Window, AnObjectThatGoesBeforeItsWindowGivesTheWindowBack) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FRAMEWORK_TEST));
    HWND button = GetDlgItem(dialog.m_hWnd, IDC_TEST_BUTTON);
    {
        CButton temporary;
        ASSERT_FALSE(temporary.SubclassWindow(dialog.m_button.m_hWnd)); // bound already
        dialog.m_button.UnsubclassWindow();
        ASSERT_TRUE(temporary.SubclassWindow(button));
        EXPECT_EQ(&temporary, CWnd::FromHandlePermanent(button));
    }
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(button));
    SetWindowTextA(button, "still works"); // reaches the button's own procedure, not the object gone
    char text[32] = {};
    GetWindowTextA(button, text, sizeof text);
    EXPECT_STREQ("still works", text);
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

namespace {

class TestApp : public CWinApp {
public:
    std::function<BOOL(TestApp&)> m_init;
    BOOL InitInstance() override { return m_init(*this); }
};

} // namespace

TEST(Application, TheMessageLoopRunsOnlyWhenSetUpSucceededWithAMainWindow) {
    PostQuitMessage(7); // a loop that ran would end on this and answer 7
    {
        TestApp app;
        app.m_init = [](TestApp&) { return FALSE; };
        EXPECT_EQ(0, app.Main(GetModuleHandleA(nullptr), const_cast<char*>(""), SW_SHOW));
    }
    {
        TestApp app;
        app.m_init = [](TestApp&) { return TRUE; }; // but no main window
        EXPECT_EQ(0, app.Main(GetModuleHandleA(nullptr), const_cast<char*>(""), SW_SHOW));
    }
    EXPECT_TRUE(QuitIsPending());
}

TEST(Application, TheLoopEndsWhenTheModelessMainWindowIsDestroyed) {
    TestApp app;
    EXPECT_EQ(&app, CWinApp::Current());
    TestDialog dialog;
    dialog.m_action = [](TestDialog& self) { self.DestroyWindow(); };
    app.m_init = [&dialog](TestApp& self) {
        if (!dialog.Create(IDD_FRAMEWORK_TEST))
            return FALSE;
        self.m_pMainWnd = &dialog;
        dialog.PostMessage(kRunAction);
        return TRUE;
    };
    EXPECT_EQ(0, app.Main(GetModuleHandleA(nullptr), const_cast<char*>(""), SW_SHOW));
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(FileFind, TheUsualLoopVisitsEveryMatchOnceWithItsFullPath) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.log"})
        WriteWholeFile(dir.File(name), "x");
    CFileFind finder;
    std::vector<std::string> paths;
    BOOL more = finder.FindFile((dir.Path() + "*.txt").c_str());
    while (more) {
        more = finder.FindNextFile();
        paths.push_back(finder.GetFilePath());
        EXPECT_EQ(finder.GetFilePath(), dir.Path() + finder.GetFileName());
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::string>{dir.File("a.txt"), dir.File("b.txt")}), paths);

    more = finder.FindFile((dir.Path() + "c.*").c_str()); // a single match: the loop runs once
    int visits = 0;
    while (more) {
        more = finder.FindNextFile();
        ++visits;
        EXPECT_EQ("c.log", finder.GetFileName());
    }
    EXPECT_EQ(1, visits);
}

TEST(FileFind, NothingMatchingMeansNoCurrentFile) {
    TempDir dir;
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile((dir.Path() + "*.inf").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ("", finder.GetFilePath());
}

TEST(FileFind, FoldersAndTheirDotsAreTold) {
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.File("sub").c_str(), nullptr));
    CFileFind finder;
    int dots = 0, folders = 0;
    BOOL more = finder.FindFile((dir.Path() + "*").c_str());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            ++dots;
        else if (finder.IsDirectory())
            ++folders;
    }
    finder.Close();
    RemoveDirectoryA(dir.File("sub").c_str());
    EXPECT_EQ(2, dots);
    EXPECT_EQ(1, folders);
}
