#include "controls/geometry.h"

#include <gtest/gtest.h>

namespace {

RECT Rect(LONG left, LONG top, LONG right, LONG bottom) {
    return RECT{left, top, right, bottom};
}

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

} // namespace

TEST(ProgressGeometry, AnEmptyBarStillCoversItsFirstTwentyPixels) {
    EXPECT_EQ(20, ProgressBarRight(Rect(0, 0, 370, 30), 0, 100));
    EXPECT_EQ(20 + 175, ProgressBarRight(Rect(0, 0, 370, 30), 50, 100));
}

TEST(ProgressGeometry, TheFullRangeReachesTheRightEdgeForEveryWidthAndRange) {
    // A floating-point step per unit would leave some of these a pixel short.
    for (LONG width = 20; width <= 1200; ++width) {
        for (int range : {1, 3, 7, 100, 1000}) {
            ASSERT_EQ(width, ProgressBarRight(Rect(0, 0, width, 30), range, range))
                << "width " << width << " range " << range;
        }
    }
}

TEST(ProgressGeometry, PositionsAndRangesOutsideTheirBoundsAreClamped) {
    RECT client = Rect(0, 0, 150, 20);
    EXPECT_EQ(150, ProgressBarRight(client, 150, 100)); // shown as 100%
    EXPECT_EQ(20, ProgressBarRight(client, -4, 100));
    EXPECT_EQ(100, ProgressRange(-5));
    EXPECT_EQ(100, ProgressRange(0));
    EXPECT_EQ(7, ProgressRange(7));
    EXPECT_EQ(100, ProgressPosition(150, 100));
    EXPECT_EQ(0, ProgressPosition(-1, 100));
    EXPECT_EQ(85, ProgressBarRight(client, 50, -5)); // a range of -5 counts as 100
}

TEST(ProgressGeometry, AControlNarrowerThanTheMinimumBarIsCoveredWhole) {
    EXPECT_EQ(12, ProgressBarRight(Rect(0, 0, 12, 20), 0, 100));
    EXPECT_EQ(12, ProgressBarRight(Rect(0, 0, 12, 20), 100, 100));
}

TEST(ProgressGeometry, TheTextStandsRightOfTheBarOrRightAlignedAtTheEdge) {
    RECT client = Rect(0, 0, 150, 20);
    ExpectRect(Rect(20, 0, 34, 20), ProgressTextRect(client, 20, 14));    // "0%" after the minimum bar
    ExpectRect(Rect(136, 0, 150, 20), ProgressTextRect(client, 136, 14)); // just fits
    ExpectRect(Rect(136, 0, 150, 20), ProgressTextRect(client, 137, 14)); // would run past the edge
    ExpectRect(Rect(122, 0, 150, 20), ProgressTextRect(client, 150, 28)); // "100%" at the full bar
}

TEST(InstallerButtonGeometry, ImageAndCaptionAreCentredAsOneBlock) {
    ImageCaptionLayout layout = LayOutImageAndCaption(Rect(0, 0, 100, 80), SIZE{40, 30}, SIZE{60, 16}, false);
    ExpectRect(Rect(30, 17, 70, 47), layout.image);   // (80 - 30 - 16) / 2 = 17
    ExpectRect(Rect(20, 47, 80, 63), layout.caption); // right under the image
    ImageCaptionLayout pressed = LayOutImageAndCaption(Rect(0, 0, 100, 80), SIZE{40, 30}, SIZE{60, 16}, true);
    ExpectRect(Rect(31, 18, 71, 48), pressed.image);
    ExpectRect(Rect(21, 48, 81, 64), pressed.caption);
}

TEST(InstallerButtonGeometry, WithoutCaptionTheImageIsCentredAlone) {
    ImageCaptionLayout layout = LayOutImageAndCaption(Rect(10, 5, 31, 28), SIZE{21, 23}, SIZE{0, 0}, false);
    ExpectRect(Rect(10, 5, 31, 28), layout.image);
    EXPECT_EQ(layout.caption.top, layout.caption.bottom);
}

TEST(InstallerButtonGeometry, AStateWithoutItsOwnImageShowsTheNextOne) {
    EXPECT_EQ(0, ChooseButtonImage(false, false, true, true));
    EXPECT_EQ(1, ChooseButtonImage(false, true, true, true));
    EXPECT_EQ(2, ChooseButtonImage(true, true, true, true));
    EXPECT_EQ(0, ChooseButtonImage(false, true, false, false)); // no hover image: normal while hovered
    EXPECT_EQ(1, ChooseButtonImage(true, true, false, true));   // no pressed image: the hover one
    EXPECT_EQ(0, ChooseButtonImage(true, false, false, true));  // ... or the normal one
}

TEST(InstallerButtonGeometry, HoverAndPressWinOverFocusInTheColourSlots) {
    EXPECT_EQ(0, ChooseStateColors(true, true).background);
    EXPECT_EQ(1, ChooseStateColors(true, false).text);
    EXPECT_EQ(4, ChooseStateColors(false, true).background);
    EXPECT_EQ(5, ChooseStateColors(false, true).text);
    EXPECT_EQ(2, ChooseStateColors(false, false).background);
    EXPECT_EQ(3, ChooseStateColors(false, false).text);
}

TEST(LauncherButtonCaption, ThreeBlanksInARowSplitTheCaptionIntoTwoLines) {
    CaptionLines lines = SplitCaption("Install   Now");
    EXPECT_TRUE(lines.twoLines);
    EXPECT_EQ("Install", lines.first);
    EXPECT_EQ("Now", lines.second);

    lines = SplitCaption("  Palvio   application   suite");
    EXPECT_TRUE(lines.twoLines);
    EXPECT_EQ("Palvio", lines.first); // blanks at the start go; the split is at the first run
    EXPECT_EQ("application   suite", lines.second);

    lines = SplitCaption("Install    Now"); // four blanks: the fourth begins the second line
    EXPECT_EQ("Install", lines.first);
    EXPECT_EQ(" Now", lines.second);
}

TEST(LauncherButtonCaption, BlanksAtTheEndsOrFewerThanThreeKeepOneLine) {
    for (const char* caption : {"   One line   ", "Two  blanks", "Install", "", "     "}) {
        CaptionLines lines = SplitCaption(caption);
        EXPECT_FALSE(lines.twoLines) << caption;
        if (std::string(caption).find_first_not_of(' ') != std::string::npos) {
            EXPECT_EQ(caption, lines.first);
        }
    }
}

TEST(LauncherButtonCaption, TheTwoBandsAreCentredAsOneBlock) {
    CaptionBands bands = TwoLineBands(Rect(0, 0, 160, 60)); // (60 - 45) / 2 = 7
    ExpectRect(Rect(0, 7, 160, 27), bands.first);
    ExpectRect(Rect(0, 32, 160, 52), bands.second);
    CaptionBands low = TwoLineBands(Rect(0, 0, 160, 40)); // (40 - 45) / 2 = -2, towards zero
    EXPECT_EQ(-2, low.first.top);
    EXPECT_EQ(43, low.second.bottom);
}

TEST(LauncherButtonCaption, TwoLinesFitOnlyWithinTheWidthAndHalfTheHeight) {
    RECT item = Rect(0, 0, 100, 50);
    EXPECT_TRUE(TwoLinesFit(item, SIZE{100, 25}, SIZE{40, 25}));
    EXPECT_FALSE(TwoLinesFit(item, SIZE{101, 20}, SIZE{40, 20}));
    EXPECT_FALSE(TwoLinesFit(item, SIZE{40, 20}, SIZE{101, 20}));
    EXPECT_FALSE(TwoLinesFit(item, SIZE{40, 26}, SIZE{40, 20}));
}

TEST(LauncherButtonCaption, ANarrowTextIsCentredOnOneLineAWideOneWrapsInsideMargins) {
    TextFit fit = FitText(Rect(0, 10, 100, 40), SIZE{41, 21});
    EXPECT_TRUE(fit.oneLine);
    EXPECT_EQ(50 - 20, fit.origin.x);
    EXPECT_EQ(25 - 10, fit.origin.y);

    fit = FitText(Rect(0, 10, 100, 40), SIZE{100, 21}); // as wide as the box: no longer fits
    EXPECT_FALSE(fit.oneLine);
    ExpectRect(Rect(4, 20, 96, 30), fit.wrap);
}
