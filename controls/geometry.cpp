#include "geometry.h"

#include <algorithm>

int ProgressRange(int maximum) {
    return maximum <= 0 ? 100 : maximum;
}

int ProgressPosition(int position, int range) {
    return std::clamp(position, 0, ProgressRange(range));
}

int ProgressBarRight(const RECT& client, int position, int range) {
    range = ProgressRange(range);
    position = ProgressPosition(position, range);
    long long width = client.right - client.left;
    long long minimum = std::min<long long>(kProgressMinimumBar, std::max<long long>(width, 0));
    long long span = std::max<long long>(width - kProgressMinimumBar, 0);
    // Whole numbers: a floating-point unit per step can leave the full bar a pixel short of the edge.
    return static_cast<int>(client.left + minimum + span * position / range);
}

RECT ProgressTextRect(const RECT& client, int barRight, int textWidth) {
    RECT text = {barRight, client.top, barRight + textWidth, client.bottom};
    if (barRight + textWidth > client.right) {
        text.left = client.right - textWidth;
        text.right = client.right;
    }
    return text;
}

ImageCaptionLayout LayOutImageAndCaption(const RECT& item, SIZE image, SIZE caption, bool selected) {
    LONG width = item.right - item.left;
    LONG height = item.bottom - item.top;
    ImageCaptionLayout layout;
    layout.image.left = item.left + (width - image.cx) / 2;
    layout.image.top = item.top + (height - image.cy - caption.cy) / 2;
    layout.image.right = layout.image.left + image.cx;
    layout.image.bottom = layout.image.top + image.cy;
    layout.caption.left = item.left + (width - caption.cx) / 2;
    layout.caption.top = layout.image.bottom;
    layout.caption.right = layout.caption.left + caption.cx;
    layout.caption.bottom = layout.caption.top + caption.cy;
    if (selected) {
        OffsetRect(&layout.image, 1, 1);
        OffsetRect(&layout.caption, 1, 1);
    }
    return layout;
}

int ChooseButtonImage(bool pressed, bool hovered, bool hasPressed, bool hasHover) {
    if (pressed && hasPressed)
        return 2;
    if (hovered && hasHover)
        return 1;
    return 0;
}

StateColorSlots ChooseStateColors(bool hoveredOrSelected, bool focused) {
    if (hoveredOrSelected)
        return {0, 1};
    if (focused)
        return {4, 5};
    return {2, 3};
}

namespace {
const char kBlanks[] = " \t\r\n";
const char kLineBreak[] = "   ";
} // namespace

CaptionLines SplitCaption(const std::string& caption) {
    CaptionLines lines;
    size_t start = caption.find_first_not_of(kBlanks);
    if (start == std::string::npos)
        return lines;
    size_t end = caption.find_last_not_of(kBlanks) + 1;
    std::string trimmed = caption.substr(start, end - start);
    if (trimmed.find(kLineBreak) == std::string::npos) {
        lines.first = caption;
        return lines;
    }
    // Only the start is trimmed here: the second line keeps what follows the break as it is.
    std::string rest = caption.substr(start);
    size_t at = rest.find(kLineBreak);
    lines.twoLines = true;
    lines.first = rest.substr(0, at);
    lines.second = rest.substr(at + sizeof kLineBreak - 1);
    return lines;
}

CaptionBands TwoLineBands(const RECT& item) {
    LONG half = (item.bottom - item.top - 45) / 2;
    LONG top = item.top + half;
    return {{item.left, top, item.right, top + 20}, {item.left, top + 25, item.right, top + 45}};
}

bool TwoLinesFit(const RECT& item, SIZE first, SIZE second) {
    LONG width = item.right - item.left;
    LONG height = item.bottom - item.top;
    return first.cx <= width && second.cx <= width && 2 * first.cy <= height && 2 * second.cy <= height;
}

TextFit FitText(const RECT& box, SIZE extent) {
    TextFit fit = {};
    fit.oneLine = extent.cx < box.right - box.left;
    if (fit.oneLine) {
        fit.origin.x = (box.left + box.right) / 2 - extent.cx / 2;
        fit.origin.y = (box.top + box.bottom) / 2 - extent.cy / 2;
    } else {
        fit.wrap = {box.left + 4, box.top + 10, box.right - 4, box.bottom - 10};
    }
    return fit;
}
