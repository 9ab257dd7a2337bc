#include "skin_layout.h"

#include <algorithm>

Skin SkinFromText(const std::string& mainProduce) {
    if (mainProduce == "NORMAL")
        return Skin::kNormal;
    if (mainProduce == "OXA")
        return Skin::kOxa;
    return Skin::kOther;
}

bool ProgressHeightSuits(int value, int windowHeight) {
    return value >= 1 && value <= windowHeight - windowHeight / 2;
}

bool XPosSuits(int value, int windowWidth) {
    return value >= 0 && value < windowWidth / 2;
}

bool TextSpareSuits(int value, int windowHeight) {
    return value == -1 || (value >= 0 && value <= windowHeight / 2);
}

RECT ProgressPlace(int windowWidth, int windowHeight, const SkinGeometry& geometry) {
    int top = windowHeight / 2;
    // A window narrower than both margins gets an empty bar, never one of negative width.
    int width = std::max(windowWidth - 2 * geometry.xPos, 0);
    return {geometry.xPos, top, geometry.xPos + width, top + geometry.progressHeight};
}

POINT NormalExitPlace(int windowWidth, SIZE button) {
    return {windowWidth - button.cx - 5, 3};
}

POINT OxaClosePlace(int windowWidth, int xPos, SIZE button) {
    return {windowWidth - xPos - button.cx, 10};
}

int NormalTextTop(int middle, int textSpare, int textWidth, int lineHeight, int areaRight) {
    int top = middle - textSpare;
    if (textSpare == -1) {
        // An area with no room at all counts as one pixel wide rather than dividing by nothing.
        int lines = textWidth / std::max(areaRight, 1) + 2;
        top = middle - lines * lineHeight;
    }
    return std::max(top, 0);
}

RECT OxaTextBox(int xPos, int windowHeight, int measuredRight, int textHeight) {
    int middle = windowHeight / 2;
    return {xPos, std::max(middle - textHeight - 15, 0), measuredRight, middle};
}

RECT OxaWhiteBox(const RECT& client) {
    return {client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
}
