#include "drive_watch.h"

#include "common/clock.h"
#include "common/host.h"
#include "common/log.h"
#include "common/text.h"

bool DriveWatch::Start(HWND window) {
    m_hWindow = window;
    m_stop.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (m_stop)
        m_thread.Reset(CreateThread(nullptr, 0, CdromWatchThread, this, 0, nullptr));
    if (!m_thread) {
        WriteLog("ERR: The watch of the medium's drive could not be started, error %lu", GetLastError());
        return false;
    }
    return true;
}

void DriveWatch::Stop() {
    if (!m_thread)
        return;
    SetEvent(m_stop.Get());
    // The thread only posts to the window, never sends: waiting for it here cannot deadlock.
    WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
}

DWORD WINAPI CdromWatchThread(LPVOID parameter) {
    if (!parameter)
        return 1;
    auto* watch = static_cast<DriveWatch*>(parameter);
    char folder[256] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    int misses = 0;
    for (;;) {
        if (IsDrivePresent(folder)) {
            misses = 0;
        } else if (misses > kMissesBeforeClose) {
            PostMessageA(watch->m_hWindow, WM_MEDIUM, 2, 0);
            return 1;
        } else {
            ++misses;
        }
        if (ClockWait(watch->m_stop.Get(), 500) != WAIT_TIMEOUT)
            return 1;
    }
}
