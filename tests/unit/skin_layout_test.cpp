// Where the installer window puts its parts, for the sample skin (a 400 x 150 background) and for geometry
// values a profile may hold.
#include "installer/skin_layout.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

} // namespace

TEST(SkinLayout, OnlyTheExactNamesSelectASkin) {
    EXPECT_EQ(Skin::kNormal, SkinFromText("NORMAL"));
    EXPECT_EQ(Skin::kOxa, SkinFromText("OXA"));
    EXPECT_EQ(Skin::kOther, SkinFromText("normal"));
    EXPECT_EQ(Skin::kOther, SkinFromText("OXA "));
    EXPECT_EQ(Skin::kOther, SkinFromText(""));
}

TEST(SkinLayout, TheDefaultBarStandsBelowTheMiddleLineBetweenTheMargins) {
    ExpectRect({15, 75, 385, 105}, ProgressPlace(400, 150, SkinGeometry()));
    ExpectRect({40, 75, 360, 85}, ProgressPlace(400, 151, SkinGeometry{10, 40, -1}));
}

TEST(SkinLayout, AWindowNarrowerThanItsMarginsGetsAnEmptyBar) {
    RECT bar = ProgressPlace(20, 10, SkinGeometry());
    EXPECT_EQ(15, bar.left);
    EXPECT_EQ(bar.left, bar.right);
}

TEST(SkinLayout, TheExitButtonsKeepTheirDistanceFromTheRightEdge) {
    POINT exit = NormalExitPlace(400, SIZE{21, 23});
    EXPECT_EQ(400 - 5 - 21, exit.x);
    EXPECT_EQ(3, exit.y);
    POINT close = OxaClosePlace(400, 15, SIZE{21, 23});
    EXPECT_EQ(400 - 15 - 21, close.x);
    EXPECT_EQ(10, close.y);
}

TEST(SkinLayout, TheNormalTextEndsOnTheMiddleLine) {
    // A text spare puts the top that far above the middle line.
    EXPECT_EQ(55, NormalTextTop(75, 20, 5000, 16, 385));
    EXPECT_EQ(75, NormalTextTop(75, 0, 100, 16, 385));
    // Computed: two lines more than the text's width needs, one line higher per further multiple of 385.
    EXPECT_EQ(75 - 2 * 16, NormalTextTop(75, -1, 384, 16, 385));
    EXPECT_EQ(75 - 3 * 16, NormalTextTop(75, -1, 385, 16, 385));
    EXPECT_EQ(75 - 4 * 16, NormalTextTop(75, -1, 800, 16, 385));
}

TEST(SkinLayout, TheNormalTextNeverStartsAboveTheWindow) {
    // A text of 259 characters in a narrow window, and an area with no room at all.
    EXPECT_EQ(0, NormalTextTop(75, -1, 1800, 16, 385));
    EXPECT_EQ(0, NormalTextTop(75, -1, 100, 16, 0));
    EXPECT_EQ(0, NormalTextTop(75, -1, 100, 16, -30));
    EXPECT_EQ(0, NormalTextTop(75, 200, 100, 16, 385));
}

TEST(SkinLayout, TheOxaTextBoxHasRoomForTheMeasuredTextAboveTheBar) {
    ExpectRect({15, 75 - 32 - 15, 300, 75}, OxaTextBox(15, 150, 300, 32));
    ExpectRect({15, 0, 385, 75}, OxaTextBox(15, 150, 385, 160));
    ExpectRect({2, 2, 398, 148}, OxaWhiteBox(RECT{0, 0, 400, 150}));
}

TEST(SkinLayout, GeometryValuesMustSuitTheWindow) {
    // The bar's height: at least a pixel, and no lower than the window's bottom.
    EXPECT_FALSE(ProgressHeightSuits(0, 150));
    EXPECT_FALSE(ProgressHeightSuits(-5, 150));
    EXPECT_TRUE(ProgressHeightSuits(1, 150));
    EXPECT_TRUE(ProgressHeightSuits(75, 150));
    EXPECT_FALSE(ProgressHeightSuits(76, 150));
    EXPECT_TRUE(ProgressHeightSuits(76, 151));
    EXPECT_FALSE(ProgressHeightSuits(2147483647, 150));
    // The margin: never negative, and the bar keeps at least a pixel between both margins.
    EXPECT_FALSE(XPosSuits(-1, 400));
    EXPECT_TRUE(XPosSuits(0, 400));
    EXPECT_TRUE(XPosSuits(199, 400));
    EXPECT_FALSE(XPosSuits(200, 400));
    EXPECT_FALSE(XPosSuits(-2147483647 - 1, 400));
    // The text spare: computed (-1), or between the middle line and the top.
    EXPECT_TRUE(TextSpareSuits(-1, 150));
    EXPECT_FALSE(TextSpareSuits(-2, 150));
    EXPECT_TRUE(TextSpareSuits(0, 150));
    EXPECT_TRUE(TextSpareSuits(75, 150));
    EXPECT_FALSE(TextSpareSuits(76, 150));
}
