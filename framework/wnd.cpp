#include "wnd.h"

#include "app.h"

namespace {
// The window property that leads from a window to its object.
const char kObjectProperty[] = "SuiteCWnd";
} // namespace

CWnd::~CWnd() {
    // A window that outlives its object must not call into it any more.
    if (m_hWnd)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    return window ? static_cast<CWnd*>(GetPropA(window, kObjectProperty)) : nullptr;
}

void CWnd::Bind(HWND window) {
    m_hWnd = window;
    SetPropA(window, kObjectProperty, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::BoundWindowProc)));
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!window || m_hWnd || FromHandlePermanent(window))
        return FALSE;
    m_hWnd = window; // PreSubclassWindow may already work on the window
    PreSubclassWindow();
    Bind(window);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = m_hWnd;
    if (!window)
        return nullptr;
    if (m_pfnSuper)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    RemovePropA(window, kObjectProperty);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kReflectBase)
        return 0; // a reflected message that the control does not handle: not for the window's own procedure
    if (message == WM_DRAWITEM && lParam) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (CWnd* control = FromHandlePermanent(item->hwndItem)) {
            if (control->WindowProc(kReflectBase + WM_DRAWITEM, wParam, lParam))
                return TRUE;
        }
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK CWnd::BoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandlePermanent(window);
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message != WM_NCDESTROY)
        return object->WindowProc(message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    object->UnsubclassWindow();
    if (CWinApp* app = CWinApp::Current())
        app->OnWindowGone(object);
    object->PostNcDestroy();
    return result;
}
