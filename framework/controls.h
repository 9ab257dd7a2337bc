// The standard controls the programs' own controls derive from.
#pragma once

#include "bitmap.h"
#include "wnd.h"

#include <windows.h>

// A push button. An owner-drawn one (BS_OWNERDRAW) is drawn by DrawItem, which its parent hands it.
class CButton : public CWnd {
protected:
    virtual void DrawItem(DRAWITEMSTRUCT*) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// An owner-drawn button that shows one of up to four bitmaps: the selected one while pressed, the focused
// one while it has the focus, the disabled one while disabled, and the normal one otherwise (also in any
// state whose own bitmap is missing).
class CBitmapButton : public CButton {
public:
    // Bitmaps of the program's resources (0: none). TRUE when the normal one was loaded.
    BOOL LoadBitmaps(UINT normalId, UINT selectedId = 0, UINT focusedId = 0, UINT disabledId = 0);
    // Gives the button the size of its normal bitmap.
    void SizeToContent();

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};

// A static control; the programs' progress bar paints over one.
class CStatic : public CWnd {};
