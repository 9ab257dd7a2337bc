// CXPButton, the launcher's form: an owner-drawn button whose skin bitmap is stretched over the whole
// button, with its caption in bold on top; a caption with three blanks in a row is drawn on two lines. The
// installer has a button of the same name and another look; each program builds its own.
#pragma once

#include "framework/controls.h"

#include <windows.h>

#include <string>

class CXPButton : public CButton {
public:
    // The skins for the normal and the hovered button. Only the names are kept: the files are loaded at
    // every paint. A skin that cannot be loaded leaves the background unpainted (and is logged here, once).
    void SetBitmapFiles(std::string normal, std::string hover);

    // Where the skins are loaded from (LoadImageA's instance); the owner sets it.
    HINSTANCE m_hModule = nullptr;

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawSkin(HDC dc, const RECT& rect);

    int m_bHover = 0;
    int m_bTracking = 0;
    int m_nFocus = 0;
    std::string m_strNormalBmp;
    std::string m_strHoverBmp;
    BYTE m_bTwoLines = 0;
};
