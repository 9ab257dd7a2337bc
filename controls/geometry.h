// Where the skinned controls put their parts: plain arithmetic on rectangles and sizes, so that it can be
// checked without a window.
#pragma once

#include <windows.h>

#include <string>

// The flat progress bar. Its bar always covers the first 20 pixels (the bar's own minimum) and reaches the
// right edge at the full range.
constexpr int kProgressMinimumBar = 20;
// A range of 0 or below becomes 100.
int ProgressRange(int maximum);
// A position clamped to 0 .. range.
int ProgressPosition(int position, int range);
// Right edge of the bar in a control whose client area is `client`.
int ProgressBarRight(const RECT& client, int position, int range);
// Where the percentage text of width `textWidth` stands: just right of the bar's end, or, where it would
// run past the control's right edge, right-aligned at that edge. Vertically the whole control.
RECT ProgressTextRect(const RECT& client, int barRight, int textWidth);

// The installer's owner-drawn button: an image above its caption, centred as one block; both move by one
// pixel right and down while the button is pressed.
struct ImageCaptionLayout {
    RECT image;
    RECT caption;
};
ImageCaptionLayout LayOutImageAndCaption(const RECT& item, SIZE image, SIZE caption, bool selected);
// Which of the button's three images to draw: 2 pressed, 1 hover, 0 normal; a state without its image
// falls back to hover, then normal.
int ChooseButtonImage(bool pressed, bool hovered, bool hasPressed, bool hasHover);
// The colour slots of a state: {background, text}.
struct StateColorSlots {
    int background;
    int text;
};
StateColorSlots ChooseStateColors(bool hoveredOrSelected, bool focused);

// The launcher's owner-drawn button: a caption with three blanks in a row ("Install   Now") is drawn on two
// lines, split at the first such run; blanks at the caption's ends do not count.
struct CaptionLines {
    bool twoLines = false;
    std::string first; // the whole caption when it is one line
    std::string second;
};
CaptionLines SplitCaption(const std::string& caption);
// The two 20-pixel bands of a two-line caption, 5 pixels apart and centred in the item as one block.
struct CaptionBands {
    RECT first;
    RECT second;
};
CaptionBands TwoLineBands(const RECT& item);
// Whether two lines of these extents fit the item in the caption's own font (else the button's font is
// used instead).
bool TwoLinesFit(const RECT& item, SIZE first, SIZE second);
// How a text of the given extent is put in a box: centred on one line when it is narrower than the box,
// otherwise word-wrapped (and centred) in the box less 4 pixels left and right and 10 above and below.
struct TextFit {
    bool oneLine;
    POINT origin; // of the one line
    RECT wrap;    // of the wrapped text
};
TextFit FitText(const RECT& box, SIZE extent);
