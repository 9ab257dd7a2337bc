// CWinApp: the program object. The program defines exactly one (a global), and the framework's entry point
// runs it: InitInstance first, then the message loop, but only when InitInstance answered TRUE and left a
// main window. A dialog-based program runs its window modally inside InitInstance and answers FALSE.
#pragma once

#include "wnd.h"

#include <windows.h>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's one application object (null before it is constructed).
    static CWinApp* Current();

    virtual BOOL InitInstance() { return TRUE; }
    // The program's exit status when InitInstance ends the program without a message loop.
    virtual int ExitInstance() { return 0; }
    // The main message loop; answers the exit code that WM_QUIT carried.
    virtual int Run();

    // The framework's entry point calls this; it is not meant for the program.
    int Main(HINSTANCE instance, LPSTR commandLine, int showCommand);
    // Called by CWnd when a window has received its last message.
    void OnWindowGone(CWnd* window);

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // The window whose end ends the message loop.
    CWnd* m_pMainWnd = nullptr;

private:
    bool m_bRunning = false;
};

// The program's instance handle: the application object's once it runs, else the executable's.
HINSTANCE ProgramInstance();
