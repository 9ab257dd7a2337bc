// CDialog: a window made from a dialog template of the program's resources, run modally (DoModal) or
// modeless (Create). Its controls are bound to member objects in DoDataExchange, once, when the window is
// set up (OnInitDialog).
#pragma once

#include "wnd.h"

#include <windows.h>

#include <atomic>

// What DoDataExchange gets: the dialog whose controls are bound.
class CDataExchange {
public:
    explicit CDataExchange(CWnd* dialog) : m_pDlgWnd(dialog) {}
    CWnd* m_pDlgWnd;
};

// Binds control `id` of the dialog to `control`, unless it is bound already. A missing control is logged.
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window and runs it until EndDialog, its destruction or WM_QUIT. Answers the result given
    // to EndDialog, or -1 when the window could not be made or ended otherwise. A WM_QUIT that ends a
    // nested run is passed on to the run outside it.
    virtual INT_PTR DoModal();
    // Creates the window without a run of its own (the program's message loop serves it).
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Ends the modal run with a result; may be called from any thread.
    void EndDialog(int result);

    // Swallows the keys of the dialog manager (Tab, Enter, Escape...) for this dialog and handles them.
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    // Set-up when the window exists and before it is shown: binds the controls (DoDataExchange).
    // TRUE lets the dialog manager give the focus to the first control.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate();

    bool m_bModal = false;
    std::atomic<bool> m_bEndModal{false};
    std::atomic<int> m_nModalResult{-1};
};
