#include "xp_button.h"

#include "controls/geometry.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"

#include <algorithm>
#include <cctype>

namespace {

bool NamesABitmap(std::string file) {
    std::transform(file.begin(), file.end(), file.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return file.find(".bmp") != std::string::npos;
}

} // namespace

CXPButton::CXPButton() {
    for (int slot = 0; slot < 6; slot += 2) {
        m_colors[slot] = GetSysColor(COLOR_BTNFACE);
        m_colors[slot + 1] = GetSysColor(COLOR_BTNTEXT);
    }
}

bool CXPButton::LoadImageFile(const std::string& file, Image& image) {
    image.bitmap.DeleteObject();
    image.width = image.height = 0;
    if (!image.bitmap.Attach(LoadWholeBitmapFile(file.c_str(), m_hModule))) {
        WriteLog("ERR: Bitmap file %s is missing or damaged.", file.c_str());
        return false;
    }
    SIZE size = image.bitmap.GetSize();
    image.width = size.cx;
    image.height = size.cy;
    return true;
}

int CXPButton::SetBitmapFiles(std::string normal, std::string hover) {
    if (!NamesABitmap(normal) || !NamesABitmap(hover))
        return 0;
    if (!LoadImageFile(normal, m_images[0])) {
        m_images[1].bitmap.DeleteObject();
        m_images[1].width = m_images[1].height = 0;
        return 0;
    }
    return LoadImageFile(hover, m_images[1]) ? 1 : 0;
}

int CXPButton::SetPressedBitmap(std::string pressed) {
    if (!NamesABitmap(pressed))
        return 0;
    return LoadImageFile(pressed, m_images[2]) ? 1 : 0;
}

int CXPButton::SetStateColor(BYTE index, COLORREF color, BOOL redraw) {
    if (index > 5)
        return 0;
    m_colors[index] = color;
    if (redraw && m_hWnd)
        Invalidate(TRUE);
    return 1;
}

void CXPButton::SetCaptions(std::string normal, std::string hover) {
    m_strNormalCaption = std::move(normal);
    m_strHoverCaption = std::move(hover);
    if (m_hWnd)
        Invalidate(TRUE);
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
        m_bPressed = 0;
        Invalidate(TRUE);
        return 1;
    case WM_MOUSELEAVE:
        m_bHover = m_bTracking = m_bPressed = 0;
        Invalidate(FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        // Stays set after the button goes up: the pressed image shows until the mouse leaves.
        m_bPressed = 1;
        Invalidate(TRUE);
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CXPButton::DrawImage(HDC dc, const Image& image, POINT at) {
    if (!image.bitmap)
        return;
    ScopedMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory)
        return;
    ScopedSelection selected(memory.Get(), image.bitmap.GetSafeHandle());
    BitBlt(dc, at.x, at.y, image.width, image.height, memory.Get(), 0, 0, SRCCOPY);
}

void CXPButton::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    RECT rect = item->rcItem;
    m_nFocus = (item->itemState & ODS_FOCUS) ? 1 : 0;
    m_nSelected = (item->itemState & ODS_SELECTED) ? 1 : 0;
    bool hoveredOrSelected = m_bHover || m_nSelected;
    StateColorSlots slots = ChooseStateColors(hoveredOrSelected, m_nFocus != 0);

    int oldMode = SetBkMode(dc, TRANSPARENT);
    {
        ScopedGdiObject brush(CreateSolidBrush(m_colors[slots.background]));
        if (brush)
            FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
    }
    COLORREF oldText = SetTextColor(dc, 0xF0F0F0);

    const std::string& caption = m_bHover ? m_strHoverCaption : m_strNormalCaption;
    SIZE captionSize = {0, 0};
    if (!caption.empty()) {
        RECT measured = rect;
        DrawTextA(dc, caption.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
        captionSize = {measured.right - measured.left, measured.bottom - measured.top};
    }
    const Image& sizing = (m_bHover && m_images[1].bitmap) ? m_images[1] : m_images[0];
    ImageCaptionLayout layout =
        LayOutImageAndCaption(rect, SIZE{sizing.width, sizing.height}, captionSize, m_nSelected != 0);

    int shown = ChooseButtonImage(m_bPressed != 0, m_bHover != 0, static_cast<bool>(m_images[2].bitmap),
                                  static_cast<bool>(m_images[1].bitmap));
    DrawImage(dc, m_images[shown], POINT{layout.image.left, layout.image.top});

    if (!caption.empty()) {
        SetTextColor(dc, m_colors[slots.text]);
        COLORREF oldBack = SetBkColor(dc, m_colors[slots.background]);
        DrawTextA(dc, caption.c_str(), -1, &layout.caption, DT_CENTER | DT_WORDBREAK);
        SetBkColor(dc, oldBack);
    }
    SetTextColor(dc, oldText);
    SetBkMode(dc, oldMode);
}
