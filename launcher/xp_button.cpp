#include "xp_button.h"

#include "controls/geometry.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"

namespace {

// One line of caption in its box: centred when it fits on one line, else word-wrapped.
void DrawFitted(HDC dc, const std::string& text, const RECT& box) {
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TextFit fit = FitText(box, extent);
    if (fit.oneLine) {
        TextOutA(dc, fit.origin.x, fit.origin.y, text.c_str(), static_cast<int>(text.size()));
    } else {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &fit.wrap, DT_CENTER | DT_WORDBREAK);
    }
}

void CheckSkinFile(const std::string& file) {
    int width = 0, height = 0;
    if (!GetBmpFileSize(file.c_str(), &width, &height, nullptr))
        WriteLog("ERR: Bitmap file %s is missing or damaged.", file.c_str());
}

} // namespace

void CXPButton::SetBitmapFiles(std::string normal, std::string hover) {
    CheckSkinFile(normal);
    if (hover != normal)
        CheckSkinFile(hover);
    m_strNormalBmp = std::move(normal);
    m_strHoverBmp = std::move(hover);
}

void CXPButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
}

LRESULT CXPButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (!m_bTracking) {
            TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, m_hWnd, 1};
            m_bTracking = TrackMouseEvent(&track) ? 1 : 0;
        }
        break;
    case WM_MOUSEHOVER:
        m_bHover = 1;
        Invalidate(TRUE);
        return 1;
    case WM_MOUSELEAVE:
        m_bHover = m_bTracking = 0;
        Invalidate(FALSE);
        return 0;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CXPButton::DrawSkin(HDC dc, const RECT& rect) {
    const std::string& file = m_bHover ? m_strHoverBmp : m_strNormalBmp;
    ScopedGdiObject skin(LoadWholeBitmapFile(file.c_str(), m_hModule));
    if (!skin)
        return;
    BITMAP info = {};
    ScopedMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory || !GetObjectA(skin.Get(), sizeof info, &info))
        return;
    ScopedSelection selected(memory.Get(), skin.Get());
    StretchBlt(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top, memory.Get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
}

void CXPButton::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT& rect = item->rcItem;
    DrawSkin(dc, rect);

    std::string caption = GetWindowText();
    if (caption.empty())
        return;
    m_nFocus = (item->itemState & ODS_FOCUS) ? 1 : 0;

    ScopedGdiObject font(CreateFontA(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0,
                                     FF_SWISS, "MS PGothic"));
    HGDIOBJ savedFont = font ? SelectObject(dc, font.Get()) : nullptr;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, 0xF0F0F0);

    CaptionLines lines = SplitCaption(caption);
    m_bTwoLines = lines.twoLines ? 1 : 0;
    if (!lines.twoLines) {
        DrawFitted(dc, lines.first, rect);
    } else {
        SIZE first = {}, second = {};
        GetTextExtentPoint32A(dc, lines.first.c_str(), static_cast<int>(lines.first.size()), &first);
        GetTextExtentPoint32A(dc, lines.second.c_str(), static_cast<int>(lines.second.size()), &second);
        if (!TwoLinesFit(rect, first, second) && savedFont)
            SelectObject(dc, savedFont); // the lines do not fit in the large font: the button's own one
        CaptionBands bands = TwoLineBands(rect);
        DrawFitted(dc, lines.first, bands.first);
        DrawFitted(dc, lines.second, bands.second);
    }

    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (savedFont)
        SelectObject(dc, savedFont); // before the created font is deleted
}
