// CWnd: a C++ object bound to one window. Every class of the framework handles messages the same way: it
// overrides WindowProc with a switch over the messages it cares about and hands everything else to its base
// class, which ends in the window's original procedure (DefaultProc).
#pragma once

#include <windows.h>

#include <string>

// Messages a parent hands back to the child control they concern (WM_DRAWITEM arrives as
// kReflectBase + WM_DRAWITEM at the button that is to be drawn), so that a control draws itself.
constexpr UINT kReflectBase = WM_APP + 0x3C00;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window by SubclassWindow or by a dialog's creation; null for other windows.
    static CWnd* FromHandlePermanent(HWND window);

    // Binds the object to an existing window (a dialog's control): its messages reach WindowProc from now on.
    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Gives the window back its own procedure; the object is no longer bound.
    HWND UnsubclassWindow();

    // Called by the message loops for every message before it is dispatched; TRUE swallows it.
    virtual BOOL PreTranslateMessage(MSG* message);
    virtual BOOL DestroyWindow();

    // Thin operations. Show, invalidate, update and post may be called from any thread: Windows carries them
    // to the window's own thread.
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
    }
    // Changes the window's style; flags other than 0 are passed to SetWindowPos so that the frame follows.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }

    HWND m_hWnd = nullptr;

protected:
    // The one message handler of every window class; what it does not handle goes to its base class.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's own procedure (the control's class or the dialog manager).
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Just before a window is bound (a control can still change its style here).
    virtual void PreSubclassWindow() {}
    // After the window's last message (WM_NCDESTROY); the object is no longer bound.
    virtual void PostNcDestroy() {}

    // Binding used by SubclassWindow and by dialog creation.
    void Bind(HWND window);
    static LRESULT CALLBACK BoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    WNDPROC m_pfnSuper = nullptr;
};
