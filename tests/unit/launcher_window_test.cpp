// Where the launcher window puts its buttons, and the command line of its SD and MTP buttons.
#include "launcher/mode_switch_command.h"
#include "launcher/window_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(ButtonLayout, FourButtonsOfFiftyInAWindowOfThreeHundredStandFourteenApart) {
    int gap = ButtonGap(300, 4, 50, 30);
    EXPECT_EQ(gap, 14);
    EXPECT_EQ(ButtonTop(1, gap, 50, 30), 44);
    EXPECT_EQ(ButtonTop(2, gap, 50, 30), 108);
    EXPECT_EQ(ButtonTop(4, gap, 50, 30), 236); // its bottom 286 leaves the last gap of 14
}

TEST(ButtonLayout, TheSampleSkinSharesItsRoomAmongTwoButtons) {
    // 418 high, buttons of 56, the band 30: (418 - 112 - 30) / 3 = 92.
    int gap = ButtonGap(418, 2, 56, 30);
    EXPECT_EQ(gap, 92);
    EXPECT_EQ(ButtonTop(1, gap, 56, 30), 122);
    EXPECT_EQ(ButtonTop(2, gap, 56, 30), 270);
}

TEST(ButtonLayout, TooSmallAWindowGivesANegativeGapTruncatedTowardZero) {
    EXPECT_EQ(ButtonGap(100, 4, 50, 30), -26); // -130 / 5
    EXPECT_EQ(ButtonGap(100, 2, 50, 31), -10); // -31 / 3, not -11
    EXPECT_EQ(ButtonGap(300, 0, 50, 30), 270); // no button: one gap, the whole room
}

TEST(ButtonLayout, DigitZeroStandsOverTheBand) {
    EXPECT_EQ(ButtonTop(0, 14, 50, 30), -20);
}

TEST(ButtonLayout, FarPositionsAndHugeSkinsStayWithinWindowCoordinates) {
    // A ten-digit order gives the SD button the position 2147483: no overflow, a coordinate far below.
    EXPECT_EQ(ButtonTop(SequenceDigit(INT_MAX, ButtonRole::kSd), 14, 50, 30), kFarthestCoordinate);
    EXPECT_EQ(ButtonTop(SequenceDigit(INT_MIN, ButtonRole::kSd), 14, 50, 30), -kFarthestCoordinate);
    EXPECT_EQ(ButtonGap(INT_MAX, 4, INT_MIN, INT_MIN), kFarthestCoordinate);
    EXPECT_EQ(ButtonGap(INT_MIN, 4, INT_MAX, INT_MAX), -kFarthestCoordinate);
    EXPECT_EQ(BandTop(INT_MIN, INT_MAX), -kFarthestCoordinate);
    EXPECT_EQ(ButtonGap(300, -1, 50, 30), 320); // no division by nothing: one gap
}

TEST(ButtonLayout, TheBandCentresItsImages) {
    EXPECT_EQ(BandTop(30, 24), 3);
    EXPECT_EQ(BandTop(30, 19), 5);
    EXPECT_EQ(BandTop(30, 40), -5);
}

TEST(ButtonOrder, EachButtonTakesItsDigit) {
    EXPECT_EQ(SequenceDigit(1234, ButtonRole::kSd), 1);
    EXPECT_EQ(SequenceDigit(1234, ButtonRole::kMtp), 2);
    EXPECT_EQ(SequenceDigit(1234, ButtonRole::kPalvio), 3);
    EXPECT_EQ(SequenceDigit(1234, ButtonRole::kDialup), 4);
    EXPECT_EQ(SequenceDigit(4321, ButtonRole::kSd), 4);
    EXPECT_EQ(SequenceDigit(4321, ButtonRole::kDialup), 1);
}

TEST(ButtonOrder, TheThousandsDigitTakesEverythingAboveIt) {
    EXPECT_EQ(SequenceDigit(1234567890, ButtonRole::kSd), 1234567);
    EXPECT_EQ(SequenceDigit(1234567890, ButtonRole::kMtp), 8);
    EXPECT_EQ(SequenceDigit(1234567890, ButtonRole::kPalvio), 9);
    EXPECT_EQ(SequenceDigit(1234567890, ButtonRole::kDialup), 0);
    EXPECT_EQ(SequenceDigit(21, ButtonRole::kSd), 0);
    EXPECT_EQ(SequenceDigit(21, ButtonRole::kMtp), 0);
}

namespace {

struct ModeSwitch {
    bool composed;
    std::string tool;
    std::string parameters;
};

ModeSwitch Compose(const char* folder, const std::string& driverPath, const char* action) {
    char tool[kPathRoom] = {}, parameters[kPathRoom] = {};
    bool composed = ComposeModeSwitchCommand(folder, driverPath, action, tool, parameters);
    return {composed, tool, parameters};
}

} // namespace

TEST(ModeSwitchCommand, ALowerCaseRootKeepsItsCaseInThePathAndIsUpperCasedInTheParameter) {
    ModeSwitch sd = Compose("e:\\", "Drv", "-close");
    EXPECT_TRUE(sd.composed);
    EXPECT_EQ(sd.tool, "e:\\Drv\\portflip.exe");
    EXPECT_EQ(sd.parameters, "-close -cdrom:E:");
    ModeSwitch mtp = Compose("e:\\", "Drv", "-mtp");
    EXPECT_EQ(mtp.parameters, "-mtp -cdrom:E:");
}

TEST(ModeSwitchCommand, AFolderWithoutItsBackslashGetsOne) {
    ModeSwitch sub = Compose("F:\\medium", "Driver", "-close");
    EXPECT_EQ(sub.tool, "F:\\medium\\Driver\\portflip.exe");
    EXPECT_EQ(sub.parameters, "-close -cdrom:F:");
}

TEST(ModeSwitchCommand, APathPastItsRoomIsRefused) {
    std::string folder = "E:\\" + std::string(240, 'a');
    EXPECT_FALSE(Compose(folder.c_str(), "Driver", "-close").composed);
    EXPECT_FALSE(Compose("E:\\", std::string(300, 'd'), "-close").composed);
    EXPECT_FALSE(Compose(std::string(400, 'f').c_str(), "Driver", "-close").composed);
}
