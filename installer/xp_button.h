// CXPButton, the installer's form: an owner-drawn button that shows an image above an optional caption on a
// background of its state's colour, with its own images for hover and for pressed. The launcher has a
// button of the same name and another look; each program builds its own.
#pragma once

#include "framework/controls.h"

#include <windows.h>

#include <string>

class CXPButton : public CButton {
public:
    CXPButton();

    // The normal and hover images; both names must be .bmp files. 1 when both loaded; on failure 0, and an
    // image loaded before the failure stays.
    int SetBitmapFiles(std::string normal, std::string hover);
    // The image shown from a press until the mouse leaves the button. 1 when it loaded.
    int SetPressedBitmap(std::string pressed);
    // Colour slots: 0 background and 1 text while hovered or pressed, 2 and 3 normally, 4 and 5 focused.
    // 0 for a slot above 5.
    int SetStateColor(BYTE index, COLORREF color, BOOL redraw);
    void SetCaptions(std::string normal, std::string hover);

    // Where the images are loaded from (LoadImageA's instance); the owner sets it.
    HINSTANCE m_hModule = nullptr;

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Image {
        CBitmap bitmap;
        int width = 0;
        int height = 0;
    };
    bool LoadImageFile(const std::string& file, Image& image);
    void DrawImage(HDC dc, const Image& image, POINT at);

    std::string m_strNormalCaption;
    std::string m_strHoverCaption;
    int m_nFocus = 0;
    int m_nSelected = 0;
    COLORREF m_colors[6];
    Image m_images[3]; // normal, hover, pressed
    int m_bHover = 0;
    int m_bTracking = 0;
    int m_bPressed = 0;
};
