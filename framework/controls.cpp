#include "controls.h"

#include "common/handles.h"

#include <algorithm>

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReflectBase + WM_DRAWITEM) {
        DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CBitmapButton::LoadBitmaps(UINT normalId, UINT selectedId, UINT focusedId, UINT disabledId) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    BOOL loaded = m_bitmap.LoadBitmap(normalId);
    if (selectedId)
        m_bitmapSel.LoadBitmap(selectedId);
    if (focusedId)
        m_bitmapFocus.LoadBitmap(focusedId);
    if (disabledId)
        m_bitmapDisabled.LoadBitmap(disabledId);
    return loaded;
}

void CBitmapButton::SizeToContent() {
    SIZE size = m_bitmap.GetSize();
    if (size.cx > 0 && size.cy > 0)
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(DRAWITEMSTRUCT* item) {
    const CBitmap* bitmap = &m_bitmap;
    if ((item->itemState & ODS_SELECTED) && m_bitmapSel)
        bitmap = &m_bitmapSel;
    else if ((item->itemState & ODS_FOCUS) && m_bitmapFocus)
        bitmap = &m_bitmapFocus;
    else if ((item->itemState & ODS_DISABLED) && m_bitmapDisabled)
        bitmap = &m_bitmapDisabled;

    const RECT& rect = item->rcItem;
    // What the bitmap does not cover (no bitmap, or a button larger than it) shows the button face.
    FillRect(item->hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
    if (!*bitmap)
        return;
    ScopedMemoryDC memory(CreateCompatibleDC(item->hDC));
    if (!memory)
        return;
    ScopedSelection selected(memory.Get(), bitmap->GetSafeHandle());
    SIZE size = bitmap->GetSize();
    BitBlt(item->hDC, rect.left, rect.top, std::min<LONG>(size.cx, rect.right - rect.left),
           std::min<LONG>(size.cy, rect.bottom - rect.top), memory.Get(), 0, 0, SRCCOPY);
}
