// The outside components' own decisions: portflip's request, the plug-in's registry value paths and
// Program Files folder, and the order of the companion applications' ports.
#include "common/program_files.h"
#include "components/companions/ports.h"
#include "components/plugin/application.h"
#include "components/portflip/request.h"

#include <gtest/gtest.h>

#include <string>

TEST(PortflipCommandLine, TakesTheModeWordAndTheDrive) {
    std::string mode;
    char letter = 0;
    ASSERT_TRUE(ParseCommandLine("-switch -cdrom:e:", mode, letter));
    EXPECT_EQ("-switch", mode);
    EXPECT_EQ('E', letter);
    ASSERT_TRUE(ParseCommandLine("  -mtp   -cdrom:F: ", mode, letter));
    EXPECT_EQ("-mtp", mode);
    EXPECT_EQ('F', letter);
}

TEST(PortflipCommandLine, RefusesAnythingElse) {
    std::string mode;
    char letter = 0;
    for (const char* bad :
         {"", "-switch", "-switch -cdrom:", "-switch -cdrom:E", "-switch -cdrom:EE:", "-switch -cdrom:1:",
          "switch -cdrom:E:", "-switch -cdrom:E: extra", "-switch -drive:E:"})
        EXPECT_FALSE(ParseCommandLine(bad, mode, letter)) << bad;
    EXPECT_FALSE(ParseCommandLine(nullptr, mode, letter));
}

TEST(PortflipCommand, ReadsHexadecimalBytes) {
    unsigned char bytes[16] = {};
    int count = 0;
    ASSERT_TRUE(ParseCommandBytes("1b 00,0x00 00 02 FF", bytes, count));
    ASSERT_EQ(6, count);
    EXPECT_EQ(0x1b, bytes[0]);
    EXPECT_EQ(0x02, bytes[4]);
    EXPECT_EQ(0xff, bytes[5]);
    ASSERT_TRUE(ParseCommandBytes(
        std::string(16 * 3, ' ').replace(0, 47, "01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10"), bytes,
        count));
    EXPECT_EQ(16, count);
    EXPECT_EQ(0x10, bytes[15]);
}

TEST(PortflipCommand, RefusesWhatIsNotOneToSixteenBytes) {
    unsigned char bytes[16] = {};
    int count = 0;
    for (const char* bad :
         {"", "   ", "1g", "123", "0x", "1b 00 zz", "01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11"})
        EXPECT_FALSE(ParseCommandBytes(bad, bytes, count)) << bad;
}

TEST(PluginRegistryPath, SplitsRootKeyAndValue) {
    std::string root, key, value;
    ASSERT_TRUE(SplitRegistryValuePath("HKLM\\SOFTWARE\\Palvio\\InstallPath", root, key, value));
    EXPECT_EQ("HKLM", root);
    EXPECT_EQ("SOFTWARE\\Palvio", key);
    EXPECT_EQ("InstallPath", value);
    EXPECT_FALSE(SplitRegistryValuePath("HKXX\\SOFTWARE\\Palvio\\InstallPath", root, key, value));
    EXPECT_FALSE(SplitRegistryValuePath("HKLM\\InstallPath", root, key, value));
    EXPECT_FALSE(SplitRegistryValuePath("HKLM\\SOFTWARE\\", root, key, value));
    EXPECT_FALSE(SplitRegistryValuePath("", root, key, value));
}

// A 32-bit program on 64-bit Windows sees "Program Files (x86)" as %ProgramFiles%; the companions live in
// the native folder, which 64-bit XP and Vista name only in the native registry view.
TEST(NativeProgramFiles, IsTheNativeFolderUnderWow64) {
    const char* own = "C:\\Program Files (x86)";
    EXPECT_STREQ("C:\\Program Files", ChooseNativeProgramFiles(true, "C:\\Program Files", "D:\\Reg", own));
    EXPECT_STREQ("D:\\Reg", ChooseNativeProgramFiles(true, "", "D:\\Reg", own));
    EXPECT_EQ(nullptr, ChooseNativeProgramFiles(true, nullptr, "", own));
    EXPECT_STREQ(own, ChooseNativeProgramFiles(false, "C:\\Program Files", "D:\\Reg", own));
    EXPECT_STREQ("D:\\Reg", ChooseNativeProgramFiles(false, nullptr, "D:\\Reg", ""));
}

TEST(NativeProgramFiles, ReplacesOnlyTheProgramFilesVariable) {
    EXPECT_EQ("C:\\PF\\Palvio\\a.exe",
              ReplaceProgramFilesVariable("%programfiles%\\Palvio\\a.exe", "C:\\PF"));
    EXPECT_EQ("%ProgramFiles(x86)%\\a %windir%",
              ReplaceProgramFilesVariable("%ProgramFiles(x86)%\\a %windir%", "X"));
    EXPECT_EQ("X;X", ReplaceProgramFilesVariable("%ProgramFiles%;%PROGRAMFILES%", "X"));
    EXPECT_EQ("%ProgramFiles", ReplaceProgramFilesVariable("%ProgramFiles", "X"));
}

TEST(CompanionPorts, ComeInTheOrderOfTheirNumbers) {
    EXPECT_TRUE(ComesBefore("COM3", "COM10"));
    EXPECT_FALSE(ComesBefore("COM10", "COM3"));
    EXPECT_TRUE(ComesBefore("COM9", "MODEM"));
    EXPECT_FALSE(ComesBefore("MODEM", "COM9"));
    EXPECT_FALSE(ComesBefore("COM4", "COM4"));
}
