#include "instoria_dlg.h"

#include "install_worker.h"
#include "resource.h"
#include "startup.h"
#include "update_worker.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/log.h"
#include "framework/app.h"

#include <algorithm>

std::string g_strMainProduce;

CInstoriaDlg::CInstoriaDlg() : CDialog(IDD_INSTORIA_DIALOG) {
    m_stopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

CInstoriaDlg::~CInstoriaDlg() {
    // Also when the window never saw its end through this object: the worker must not outlive it.
    StopWorker();
    if (m_hIcon)
        DestroyIcon(m_hIcon);
}

InstallerWorker ChooseWorker(int modemUpdate, int serialUpdate, int adbUpdate) {
    return modemUpdate || serialUpdate || adbUpdate ? InstallerWorker::kUpdate : InstallerWorker::kInstall;
}

void CInstoriaDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_PROGRESS, m_progress);
    DDX_Control(exchange, IDC_CLOSE, m_btnClose);
}

void CInstoriaDlg::SetProgress(int position) {
    position = std::clamp(position, 0, 100);
    m_progress.SetPos(position);
    WriteLog("Process setup %d...", position);
}

BOOL CInstoriaDlg::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN))
        return TRUE;
    return CDialog::PreTranslateMessage(message);
}

void CInstoriaDlg::SetShowText(const std::string& text) {
    ScopedLock hold(m_showTextLock);
    m_strShowText = text;
}

std::string CInstoriaDlg::GetShowText() const {
    ScopedLock hold(m_showTextLock);
    return m_strShowText;
}

bool CInstoriaDlg::WorkerPause(DWORD milliseconds) {
    // Without its event the worker could not be stopped early; it then pauses in full.
    if (!m_stopEvent) {
        ClockSleep(milliseconds);
        return true;
    }
    return ClockWait(m_stopEvent.Get(), milliseconds) == WAIT_TIMEOUT;
}

bool CInstoriaDlg::StopRequested() const {
    return m_stopEvent && WaitForSingleObject(m_stopEvent.Get(), 0) == WAIT_OBJECT_0;
}

void CInstoriaDlg::EndFromWorker(bool done) {
    m_bWorkerEnding = true;
    if (done)
        PostMessage(WM_QUIT, 0, 0);
    else
        PostMessage(WM_INSTALL_END, 0, 0);
}

void CInstoriaDlg::EndAfterFailure() {
    if (WorkerPause(2000))
        EndFromWorker(false);
}

void CInstoriaDlg::StartWorker() {
    bool update = ChooseWorker(g_bModemUpdate, g_bSerialUpdate, g_bAdbUpdate) == InstallerWorker::kUpdate;
    LPTHREAD_START_ROUTINE procedure = update ? UpdateDriverThreadProc : InstallDriverThreadProc;
    // The handle is kept, not closed at once: the window waits for the thread before it goes.
    m_worker.Reset(CreateThread(nullptr, 0, procedure, this, 0, nullptr));
    if (!m_worker) {
        WriteLog("ERR: The %s worker could not be started, error %lu; the installer ends",
                 update ? "update" : "install", GetLastError());
        PostMessage(WM_INSTALL_END, 0, 0);
    }
}

void CInstoriaDlg::StopWorker() {
    if (!m_worker)
        return;
    HANDLE thread = m_worker.Get();
    // Whether the worker runs is asked before it is told to stop: told first, it may end before the
    // question, and the window's close would go unlogged. A worker that asked for the end has only its last
    // log line to write.
    bool running = !m_bWorkerEnding && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
    if (m_stopEvent)
        SetEvent(m_stopEvent.Get());
    if (running) {
        WriteLog("INF: The window closes while the worker runs; the worker stops at its next pause");
        // The worker may be inside a call to this window (show, hide, repaint), which this thread must
        // answer; nothing else is dispatched while the window goes.
        for (;;) {
            DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
            if (woken == WAIT_OBJECT_0 + 1) {
                MSG message;
                PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
                continue;
            }
            if (woken != WAIT_OBJECT_0)
                WaitForSingleObject(thread, INFINITE);
            break;
        }
        WriteLog("INF: The worker has stopped");
    }
    WaitForSingleObject(thread, INFINITE);
    m_worker.Reset();
}

LRESULT CInstoriaDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (PaintSkin())
            return 0;
        break;
    case WM_LBUTTONDOWN:
        // The window has no caption: a press anywhere on it moves it.
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            CDialog about(IDD_ABOUTBOX, this);
            about.DoModal();
            return 0;
        }
        break;
    case WM_DESTROY:
        // The worker paints and hides through this window and its bitmap until it has ended.
        StopWorker();
        m_bmpBack.DeleteObject();
        break;
    case WM_INSTALL_END:
        if (wParam == 0)
            PostMessage(WM_QUIT, 0, 0);
        else if (wParam == 1)
            SetProgress(static_cast<int>(lParam));
        return 1;
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDC_EXIT || LOWORD(wParam) == IDC_CLOSE) && HIWORD(wParam) == BN_CLICKED) {
            m_bExitClicked = 1;
            return 0;
        }
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
