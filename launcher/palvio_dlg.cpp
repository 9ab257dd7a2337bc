#include "palvio_dlg.h"

#include "resource.h"

#include "common/files.h"
#include "common/log.h"

CPalvioDlg::CPalvioDlg() : CDialog(IDD_PALVIO_DIALOG) {}

CPalvioDlg::~CPalvioDlg() {
    m_watch.Stop();
    FreeProductDll();
    if (m_hIcon)
        DestroyIcon(m_hIcon);
}

void CPalvioDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_LOGO, m_btnLogo);
    DDX_Control(exchange, IDC_CLOSE, m_btnClose);
    DDX_Control(exchange, IDC_BUT_PALVIO, m_btnPalvio);
    DDX_Control(exchange, IDC_BUT_SD, m_btnSd);
    DDX_Control(exchange, IDC_BUT_DIALUP, m_btnDialup);
    DDX_Control(exchange, IDC_BUT_MTP, m_btnMtp);
}

BOOL CPalvioDlg::DestroyWindow() {
    // Nothing calls into the library once the window is gone.
    FreeProductDll();
    return CDialog::DestroyWindow();
}

BOOL CPalvioDlg::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN))
        return TRUE;
    return CDialog::PreTranslateMessage(message);
}

void CPalvioDlg::RunHandler(void (CPalvioDlg::*handler)()) {
    // A click that reaches the window while a handler waits in a message box is not a second job.
    if (m_nHandlerDepth > 0)
        return;
    ++m_nHandlerDepth;
    (this->*handler)();
    --m_nHandlerDepth;
    if (m_bCloseDeferred) {
        m_bCloseDeferred = false;
        WriteLog("INF: The medium has gone while a button was at work; the window closes now");
        DestroyWindow();
    }
}

void CPalvioDlg::CloseForMedium() {
    // The running handler uses the library and the staging object that closing frees; it is somewhere
    // below this message (in a message box's or a plug-in's message loop) and closes the window on return.
    if (m_nHandlerDepth > 0) {
        m_bCloseDeferred = true;
        return;
    }
    DestroyWindow();
}

LRESULT CPalvioDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (PaintSkin())
            return 0;
        break;
    case WM_LBUTTONDOWN:
        // The window has no caption: a press anywhere on its background moves it.
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX)
            return 0;
        break;
    case WM_DESTROY:
        m_watch.Stop();
        break;
    case WM_MEDIUM:
        if (wParam == 0 || wParam == 1) {
            m_btnSd.EnableWindow(wParam == 1);
        } else {
            CloseForMedium();
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            break;
        switch (LOWORD(wParam)) {
        case IDC_BUT_PALVIO:
            RunHandler(&CPalvioDlg::OnButSorvane);
            return 0;
        case IDC_BUT_DIALUP:
            RunHandler(&CPalvioDlg::OnButDialup);
            return 0;
        case IDC_BUT_SD:
            RunHandler(&CPalvioDlg::OnButChangeUsb);
            return 0;
        case IDC_BUT_MTP:
            RunHandler(&CPalvioDlg::OnButMtp);
            return 0;
        case IDC_LOGO:
            return 0;
        case IDC_CLOSE:
            OnCancel();
            return 0;
        }
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

std::string MediumDrive() {
    char folder[kPathRoom] = {};
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return std::string();
    return std::string(folder, length < 2 ? length : 2);
}
