#include "common/host.h"

#include "common/log.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

using namespace testsupport;

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char kLab7x86[] = "7601.24214.x86fre.win7sp1_ldr_escrow.180801-1700";
const char kLab7amd64[] = "7601.24214.amd64fre.win7sp1_ldr_escrow.180801-1700";

class EditionProbe : public LoggingTest {};

} // namespace

TEST(EditionMeaning, EachCodeAnswersForItsWindows) {
    struct Case {
        int code;
        bool known, is64Bit, accountControl, beforeVista, xpOrLater, vista64, win8OrLater;
        const char* folder;
    };
    const Case cases[] = {
        {kEditionUnknown, false, false, false, false, false, false, false, ""},
        {kEditionWin2000, true, false, false, true, false, false, false, "Win7"},
        {kEditionXP, true, false, false, true, true, false, false, "Win7"},
        {kEditionVista32, true, false, true, false, true, false, false, "Vista"},
        {kEditionVista64, true, true, true, false, true, true, false, "Vista-AMD64"},
        {kEditionWin7_32, true, false, true, false, true, false, false, "Win7"},
        {kEditionWin7_64, true, true, true, false, true, false, false, "Win7-AMD64"},
        {kEditionNewer32, true, false, true, false, true, false, true, "Win8"},
        {kEditionNewer64, true, true, true, false, true, false, true, "Win8-AMD64"},
        {9, false, false, false, false, false, false, false, ""},
        {-1, false, false, false, false, false, false, false, ""},
    };
    const NewerWindowsFolders newer{"Win8", "Win8-AMD64"};
    for (const Case& c : cases) {
        EXPECT_EQ(c.known, EditionIsKnown(c.code)) << c.code;
        EXPECT_EQ(c.is64Bit, EditionIs64Bit(c.code)) << c.code;
        EXPECT_EQ(c.accountControl, EditionHasAccountControl(c.code)) << c.code;
        EXPECT_EQ(c.beforeVista, EditionIsBeforeVista(c.code)) << c.code;
        EXPECT_EQ(c.xpOrLater, EditionIsXpOrLater(c.code)) << c.code;
        EXPECT_EQ(c.vista64, EditionIsVista64(c.code)) << c.code;
        EXPECT_EQ(c.win8OrLater, EditionIsWindows8OrLater(c.code)) << c.code;
        EXPECT_EQ(c.folder, EditionFolder(c.code, newer)) << c.code;
    }
    // Without folders named for them, Windows 8 and later have none.
    EXPECT_EQ("", EditionFolder(kEditionNewer64, NewerWindowsFolders()));
    EXPECT_EQ("Win7", EditionFolder(kEditionWin7_32, NewerWindowsFolders()));
}

TEST(EditionDecision, ReadsOnlyTheDigitsAroundTheDot) {
    EXPECT_EQ(kEditionWin2000, EditionFromCurrentVersion("5.0"));
    EXPECT_EQ(kEditionXP, EditionFromCurrentVersion("5.1"));
    EXPECT_EQ(kEditionVista32, EditionFromCurrentVersion("6.0"));
    EXPECT_EQ(kEditionWin7_32, EditionFromCurrentVersion("6.1"));
    EXPECT_EQ(kEditionWin7_32, EditionFromCurrentVersion("6.1.7601"));
    EXPECT_EQ(kEditionWin7_32, EditionFromCurrentVersion("6,1")); // the dot itself is not looked at
}

TEST(EditionDecision, UnsupportedVersionsAreUnknown) {
    for (const char* version : {"5.2", "6.2", "6.3", "10.0", "4.0", "6", "", "x.y"})
        EXPECT_EQ(kEditionUnknown, EditionFromCurrentVersion(version)) << version;
}

TEST(EditionDecision, Windows8AndLaterOnlyForAMediumThatServesThem) {
    const char* lab10 = "19041.1.amd64fre.vb_release.191206-1406";
    const char* lab81 = "9600.17031.x86fre.winblue_gdr.140221-1952";
    struct Case {
        const char* version;
        DWORD major;
        const char* build;
        const char* buildLab;
        bool newer;
        int edition;
        const char* name;
    } cases[] = {
        {"6.2", 0, "9200", "9200.16384.x86fre.win8_rtm.120725-1247", true, kEditionNewer32, "8"},
        {"6.3", 0, "9600", lab81, true, kEditionNewer32, "8.1"},
        {"6.3", 10, "19045", lab10, true, kEditionNewer64, "10"},
        {"6.3", 10, "21999", lab10, true, kEditionNewer64, "10"},
        {"6.3", 10, "22000", "22000.1.amd64fre.co_release.210604-1628", true, kEditionNewer64, "11"},
        {"6.3", 10, "22631", "22621.1.x86fre.ni_release.220506-1250", true, kEditionNewer32, "11"},
        {"6.3", 10, "", lab10, true, kEditionNewer64, "10"},
        {"6.3", 10, "22631", nullptr, true, kEditionNewer32, "11"}, // no build lab: the 32-bit code stays
        {"6.3", 10, "22631", lab10, false, kEditionUnknown, nullptr},
        {"6.2", 0, "9200", lab81, false, kEditionUnknown, nullptr},
        {"6.4", 10, "22631", lab10, true, kEditionUnknown, nullptr},
        // Older Windows are decided as they always were, the newer numbers and the medium's wish aside.
        {"6.1", 10, "22631", kLab7amd64, true, kEditionWin7_64, nullptr},
        {"6.0", 0, "6002", "6002.18005.x86fre.lh_sp2rtm.090410-1830", true, kEditionVista32, nullptr},
        {"5.1", 0, "2600", "2600.xpsp.080413-2111", true, kEditionXP, nullptr},
    };
    for (const Case& c : cases) {
        WindowsFound found = DecideEdition(c.version, c.major, c.build, c.buildLab, c.newer);
        std::string what = std::string(c.version) + " " + std::to_string(c.major) + " " + c.build;
        EXPECT_EQ(c.edition, found.edition) << what;
        EXPECT_STREQ(c.name, found.name) << what;
    }
}

TEST(EditionDecision, BuildLabWithoutX86MakesVistaAnd7SixtyFourBit) {
    EXPECT_EQ(kEditionWin7_32, EditionForBuildLab(kEditionWin7_32, kLab7x86));
    EXPECT_EQ(kEditionWin7_64, EditionForBuildLab(kEditionWin7_32, kLab7amd64));
    EXPECT_EQ(kEditionVista32,
              EditionForBuildLab(kEditionVista32, "6002.18005.x86fre.lh_sp2rtm.090410-1830"));
    EXPECT_EQ(kEditionVista64,
              EditionForBuildLab(kEditionVista32, "6002.18005.amd64fre.lh_sp2rtm.090410-1830"));
    // The search is a case-sensitive substring search anywhere in the value.
    EXPECT_EQ(kEditionWin7_32, EditionForBuildLab(kEditionWin7_32, "abcx86def"));
    EXPECT_EQ(kEditionWin7_64, EditionForBuildLab(kEditionWin7_32, "7601.X86FRE"));
    EXPECT_EQ(kEditionWin7_64, EditionForBuildLab(kEditionWin7_32, ""));
}

TEST_F(EditionProbe, Windows7On64BitIsCode6) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "6.1");
    ScopedRegString lab(kVersionKey, "BuildLabEx", kLab7amd64);
    int edition = 0;
    EXPECT_EQ(1, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionWin7_64, edition);
    EXPECT_EQ(std::vector<std::string>({"current system version 6.1",
                                        std::string("current  system build lab is ") + kLab7amd64,
                                        "It is a 64bite OS"}),
              LogMessages());
}

TEST_F(EditionProbe, Windows7On32BitIsCode5) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "6.1");
    ScopedRegString lab(kVersionKey, "BuildLabEx", kLab7x86);
    int edition = 0;
    EXPECT_EQ(1, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionWin7_32, edition);
    EXPECT_EQ(2u, LogMessages().size());
}

TEST_F(EditionProbe, WindowsXpNeedsNoBuildLab) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "5.1");
    ScopedRegString lab(kVersionKey, "BuildLabEx", nullptr);
    int edition = 0;
    EXPECT_EQ(1, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionXP, edition);
    EXPECT_EQ(std::vector<std::string>({"current system version 5.1"}), LogMessages());
}

TEST_F(EditionProbe, UnknownVersionLeavesTheCodeUnchanged) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "5.2");
    int edition = kEditionXP;
    EXPECT_EQ(0, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionXP, edition);
    EXPECT_EQ(std::vector<std::string>({"current system version 5.2", "unknow system version 5.2"}),
              LogMessages());
}

TEST_F(EditionProbe, VistaWithoutBuildLabFailsButKeepsCode3) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "6.0");
    ScopedRegString lab(kVersionKey, "BuildLabEx", nullptr);
    int edition = 0;
    EXPECT_EQ(0, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionVista32, edition);
    EXPECT_EQ(
        std::vector<std::string>({"current system version 6.0", "ERR: Get Key <BuildLabEx>  vaule error."}),
        LogMessages());
}

TEST_F(EditionProbe, MissingCurrentVersionIsAnError) {
    ScopedRegString version(kVersionKey, "CurrentVersion", nullptr);
    int edition = kEditionWin7_32;
    EXPECT_EQ(0, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionWin7_32, edition);
    EXPECT_EQ(std::vector<std::string>({"ERR: Get Key <CurrentVersion>  vaule error."}), LogMessages());
}

TEST(DriveMask, NamesDrivesInLetterOrder) {
    EXPECT_EQ(std::vector<std::string>({"A:", "C:", "D:", "Z:"}),
              DriveNamesOfMask((1u << 0) | (1u << 2) | (1u << 3) | (1u << 25)));
    EXPECT_TRUE(DriveNamesOfMask(0).empty());
    EXPECT_EQ(26u, DriveNamesOfMask(0xffffffff).size()); // bits above Z are not drives
}

TEST(DriveMask, FindsALetterInEitherCase) {
    DWORD mask = (1u << 2) | (1u << 4); // C: E:
    EXPECT_TRUE(MaskHoldsDrive(mask, 'e'));
    EXPECT_TRUE(MaskHoldsDrive(mask, 'E'));
    EXPECT_FALSE(MaskHoldsDrive(mask, 'd'));
    EXPECT_FALSE(MaskHoldsDrive(mask, '\0'));
    EXPECT_FALSE(MaskHoldsDrive(0xffffffff, '['));
}

TEST(Drives, TheWindowsDriveIsPresentAndFixed) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string lower(1, static_cast<char>(windows[0] | 0x20));
    EXPECT_EQ(1, IsDrivePresent(lower.c_str()));
    EXPECT_EQ(1, IsDrivePresent(windows));
    EXPECT_EQ(0, IsDrivePresent(""));
    EXPECT_EQ(0, IsDrivePresent(nullptr));
    std::vector<std::string> drives = {"keep"};
    EXPECT_EQ(1, ListCdromDrives(drives));
    EXPECT_EQ("keep", drives.front()); // appended to, never cleared
    for (const std::string& drive : drives)
        EXPECT_NE(std::string(windows, 2), drive);
}
