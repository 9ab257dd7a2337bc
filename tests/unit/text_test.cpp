#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

TEST(BoundedText, FormatsWholeTextWhenItFits) {
    char out[16];
    EXPECT_TRUE(FormatBounded(out, sizeof out, "%s-%d", "abc", 42));
    EXPECT_STREQ("abc-42", out);
}

TEST(BoundedText, CutsAndTerminatesWhatDoesNotFit) {
    char out[8] = {};
    out[7] = 'x';
    EXPECT_FALSE(FormatBounded(out, sizeof out, "%s", "0123456789"));
    EXPECT_STREQ("0123456", out);
    // Exactly the room (7 characters and the terminator) still fits; one more does not.
    EXPECT_TRUE(FormatBounded(out, sizeof out, "%s", "abcdefg"));
    EXPECT_FALSE(FormatBounded(out, sizeof out, "%s", "abcdefgh"));
    EXPECT_STREQ("abcdefg", out);
}

TEST(BoundedText, CopyRefusesOneCharacterPastTheRoom) {
    char path[kPathRoom];
    std::string fits(kPathRoom - 1, 'a');
    EXPECT_TRUE(CopyBounded(path, sizeof path, fits.c_str()));
    EXPECT_EQ(fits, path);
    std::string tooLong(kPathRoom, 'b');
    EXPECT_FALSE(CopyBounded(path, sizeof path, tooLong.c_str()));
    EXPECT_EQ(kPathRoom - 1, std::string(path).size());
}

TEST(BoundedText, AppendReportsWhetherTheWholeTextFitted) {
    char out[10] = "abc";
    EXPECT_TRUE(AppendBounded(out, sizeof out, "def"));
    EXPECT_STREQ("abcdef", out);
    EXPECT_FALSE(AppendBounded(out, sizeof out, "ghij"));
    EXPECT_STREQ("abcdefghi", out);
    EXPECT_FALSE(AppendBounded(out, sizeof out, "k"));
    EXPECT_STREQ("abcdefghi", out);
}

TEST(BoundedText, ZeroRoomWritesNothing) {
    char out[1] = {'x'};
    EXPECT_FALSE(FormatBounded(out, 0, "%s", "a"));
    EXPECT_FALSE(CopyBounded(out, 0, "a"));
    EXPECT_EQ('x', out[0]);
}

TEST(DecimalText, ATextThatIsNoNumberLeavesTheValueAlone) {
    int value = 30;
    EXPECT_FALSE(ScanDecimal("", &value));
    EXPECT_FALSE(ScanDecimal("x12", &value));
    EXPECT_FALSE(ScanDecimal("-", &value));
    EXPECT_EQ(30, value);
    EXPECT_TRUE(ScanDecimal(" -12px", &value));
    EXPECT_EQ(-12, value);
}
