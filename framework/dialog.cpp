#include "dialog.h"

#include "app.h"
#include "common/log.h"

namespace {
// How many modal runs are nested on the window thread; a WM_QUIT is passed outwards through them.
int g_nModalDepth = 0;
} // namespace

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    if (control.m_hWnd)
        return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd))
        WriteLog("ERR: the dialog has no control %d to bind.", id);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // The window must not call into an object that is going away.
    if (m_hWnd)
        ::DestroyWindow(UnsubclassWindow());
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE; // the bound window procedure has seen every other message already
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Bind(window);
    return static_cast<INT_PTR>(dialog->WindowProc(message, wParam, lParam));
}

HWND CDialog::CreateFromTemplate() {
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    HWND window = CreateDialogParamA(ProgramInstance(), MAKEINTRESOURCEA(m_nIDTemplate), parent,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window)
        WriteLog("ERR: dialog %u could not be created, error %lu.", m_nIDTemplate, GetLastError());
    return window;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (m_hWnd)
        return FALSE;
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    m_bModal = false;
    return CreateFromTemplate() != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd)
        return -1;
    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    // The owner takes no input while its modal window runs, from the window's set-up on.
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    bool parentDisabled = parent && IsWindowEnabled(parent) && !::EnableWindow(parent, FALSE);
    if (!CreateFromTemplate()) {
        if (parentDisabled)
            ::EnableWindow(parent, TRUE);
        m_bModal = false;
        return -1;
    }
    if (m_hWnd && !m_bEndModal && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    ++g_nModalDepth;
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message = {};
    while (m_hWnd && !m_bEndModal) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = message.wParam;
            break;
        }
        if (got == -1) {
            WriteLog("ERR: GetMessage failed, error %lu; the modal run ends.", GetLastError());
            break;
        }
        if (PreTranslateMessage(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    --g_nModalDepth;

    if (parentDisabled)
        ::EnableWindow(parent, TRUE); // before the window goes, so that the owner becomes active again
    if (m_hWnd)
        DestroyWindow();
    m_bModal = false;
    if (quit && g_nModalDepth > 0)
        PostQuitMessage(static_cast<int>(quitCode));
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (!m_bModal) {
        DestroyWindow();
        return;
    }
    m_bEndModal = true;
    // Wakes the modal loop when the call comes from another thread.
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::PreTranslateMessage(MSG* message) {
    if (!m_hWnd || message->message < WM_KEYFIRST || message->message > WM_KEYLAST)
        return FALSE;
    if (message->hwnd != m_hWnd && !IsChild(m_hWnd, message->hwnd))
        return FALSE;
    return IsDialogMessageA(m_hWnd, message);
}

BOOL CDialog::OnInitDialog() {
    CDataExchange exchange(this);
    DoDataExchange(&exchange);
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return 0;
            }
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
