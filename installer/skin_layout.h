// Where the installer window puts its parts: plain arithmetic on the skin's sizes and the profile's
// geometry values, so that it can be checked without a window.
#pragma once

#include <windows.h>

#include <string>

// The two skins: NORMAL, the background bitmap fills the window; OXA, a plain white box whose size the
// bitmap gives. Any other text leaves the window as its template made it.
enum class Skin { kNormal, kOxa, kOther };
Skin SkinFromText(const std::string& mainProduce);

// The profile's geometry values, with their defaults.
struct SkinGeometry {
    int progressHeight = 30; // Key_ProgressHeight
    int xPos = 15;           // Key_ProgressXPos: margin of the bar and the text
    int textSpare = -1;      // Key_TextSpare: the NORMAL text's top above the middle line; -1 computed
};

// Whether a geometry value suits a window of that size; a value that does not is replaced by its default.
// The bar must stand below the middle line and inside the window, the margins leave room between them,
// and the text may start anywhere between the top and the middle line.
bool ProgressHeightSuits(int value, int windowHeight);
bool XPosSuits(int value, int windowWidth);
bool TextSpareSuits(int value, int windowHeight);

// The progress bar: at the margin, from the middle line down, as wide as the window less both margins.
RECT ProgressPlace(int windowWidth, int windowHeight, const SkinGeometry& geometry);
// The NORMAL exit button's top-left corner: 5 pixels from the right edge, 3 from the top.
POINT NormalExitPlace(int windowWidth, SIZE button);
// The OXA close button's top-left corner: the margin from the right edge, 10 pixels from the top.
POINT OxaClosePlace(int windowWidth, int xPos, SIZE button);

// Top of the NORMAL text, which ends on the middle line: textSpare above it, or, computed, room for the
// wrapped lines of a text of that width in an area whose right edge is areaRight, plus two lines. Never
// above the window's top, where the text's first lines could not be seen.
int NormalTextTop(int middle, int textSpare, int textWidth, int lineHeight, int areaRight);
// The OXA text box: from the margin to the measured text's right edge, ending on the middle line, high
// enough for the measured text and 15 pixels more (never above the window's top).
RECT OxaTextBox(int xPos, int windowHeight, int measuredRight, int textHeight);
// The OXA white box: the client area less 2 pixels on every side.
RECT OxaWhiteBox(const RECT& client);
