// CMyBmpButton: a bitmap button whose images come from .bmp files beside the program instead of from its
// resources. Drawing is CBitmapButton's.
#pragma once

#include "framework/controls.h"

class CMyBmpButton : public CBitmapButton {
public:
    // Drops the button's bitmaps and loads the normal and, unless `selected` is null or empty, the selected
    // image. 1 when every given image loaded; 0 when the normal one failed (the button then has no image,
    // and the owner gives it a built-in one) or the selected one did.
    int LoadBitmapFiles(const char* normal, const char* selected, HINSTANCE instance);
};
