// The watch of the medium's drive letter: a thread that looks for the letter of the current folder (the
// medium's root, where autorun starts the launcher) every 500 ms and, when four looks in a row have not
// found it, posts WM_USER+1 with wParam 2 to the window, which then closes.
//
// The thread knows only the window's handle and a stop event, never the dialog object: the window stops it
// and waits for its end before it goes, so nothing of the thread outlives the window.
#pragma once

#include "common/handles.h"

#include <windows.h>

// The message the watcher posts; wParam 0 disables the SD button, 1 enables it, anything else closes the
// window.
constexpr UINT WM_MEDIUM = WM_USER + 1;

class DriveWatch {
public:
    DriveWatch() = default;
    ~DriveWatch() { Stop(); }
    DriveWatch(const DriveWatch&) = delete;
    DriveWatch& operator=(const DriveWatch&) = delete;

    // Starts the thread for the window; false (logged) when it could not be started.
    bool Start(HWND window);
    // Ends the thread and waits for it; nothing when none runs.
    void Stop();

    HWND m_hWindow = nullptr;
    ScopedHandle m_stop; // set when the thread is to end
    ScopedHandle m_thread;
};

// The thread: the parameter is its DriveWatch; null ends it at once with 1.
DWORD WINAPI CdromWatchThread(LPVOID parameter);

// How many looks in a row without the letter have been made, after one more look: the watcher gives up when
// this passes kMissesBeforeClose.
constexpr int kMissesBeforeClose = 2;
