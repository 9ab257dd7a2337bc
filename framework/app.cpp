#include "app.h"

#include "common/crash_log.h"
#include "common/log.h"

namespace {
CWinApp* g_pApp = nullptr;
} // namespace

CWinApp::CWinApp() {
    if (!g_pApp)
        g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* CWinApp::Current() {
    return g_pApp;
}

HINSTANCE ProgramInstance() {
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : GetModuleHandleA(nullptr);
}

int CWinApp::Run() {
    m_bRunning = true;
    MSG message = {};
    int exitCode = 0;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) {
            WriteLog("ERR: GetMessage failed, error %lu; the program ends.", GetLastError());
            exitCode = -1;
            break;
        }
        if (m_pMainWnd && m_pMainWnd->PreTranslateMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    m_bRunning = false;
    return exitCode;
}

int CWinApp::Main(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine;
    m_nCmdShow = showCommand;
    if (!InitInstance() || !m_pMainWnd || !IsWindow(m_pMainWnd->m_hWnd))
        return ExitInstance();
    return Run();
}

void CWinApp::OnWindowGone(CWnd* window) {
    if (window != m_pMainWnd)
        return;
    m_pMainWnd = nullptr;
    // Only the program's own loop waits for the main window's end; a modal run ends by itself, and a
    // quit message posted then would close the next message box the program shows.
    if (m_bRunning)
        PostQuitMessage(0);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    LogCrashes();
    CWinApp* app = CWinApp::Current();
    if (!app) {
        WriteLog("ERR: the program has no application object.");
        return 1;
    }
    return app->Main(instance, commandLine, showCommand);
}
