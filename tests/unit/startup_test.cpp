#include "installer/package_folder.h"
#include "installer/run_outcome.h"
#include "installer/startup.h"

#include "common/files.h"
#include "common/handles.h"
#include "common/host.h"
#include "common/log.h"
#include "common/profile.h"
#include "support.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

bool HasMessage(const std::string& message) {
    for (const std::string& line : LogMessages()) {
        if (line == message)
            return true;
    }
    return false;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        InitLogFile();
        DeleteLog();
    }
    void TearDown() override { DeleteLog(); }
};

} // namespace

TEST(RunMode, IsReadAsANumberAtTheStartOfTheWord) {
    EXPECT_EQ(4, ParseRunMode("4"));
    EXPECT_EQ(7, ParseRunMode("  7x"));
    EXPECT_EQ(-3, ParseRunMode("-3"));
    EXPECT_EQ(5, ParseRunMode("+5"));
    EXPECT_EQ(0, ParseRunMode(""));
    EXPECT_EQ(0, ParseRunMode("x4"));
    EXPECT_EQ(0, ParseRunMode("- 4"));
    EXPECT_EQ(0, ParseRunMode("E:"));
}

TEST(RunMode, ANumberPastTheRangeCountsAsItsEnd) {
    EXPECT_EQ(INT_MAX, ParseRunMode("2147483647"));
    EXPECT_EQ(INT_MAX, ParseRunMode("2147483648"));
    EXPECT_EQ(INT_MAX, ParseRunMode(std::string(300, '9').c_str()));
    EXPECT_EQ(INT_MIN, ParseRunMode("-2147483648"));
    EXPECT_EQ(INT_MIN, ParseRunMode("-99999999999999999999"));
}

TEST(PackagePlace, OnlyAFolderThatKeepsOthersOutIsWorkedFrom) {
    EXPECT_EQ(PackagePlace::kOwnCopy, DecidePackagePlace(true, false));
    EXPECT_EQ(PackagePlace::kMedium, DecidePackagePlace(false, true));
    // The user's temp folder, where the launcher stages, and any other folder on a disk.
    EXPECT_EQ(PackagePlace::kChangeable, DecidePackagePlace(false, false));
}

TEST(PackagePlace, TheNamedMediumIsADriveWordAsTheStartersPassIt) {
    char drive[3] = {};
    EXPECT_TRUE(ParseDriveWord("e:", drive));
    EXPECT_STREQ("E:", drive);
    for (const char* word : {"", "E", "E:\\", "EE:", "1:", ":", "/uninstall", "E:x", "\\\\?\\E:"})
        EXPECT_FALSE(ParseDriveWord(word, drive)) << word;
}

TEST_F(Startup, KeepsThreeWordsAndReadsTheModeOfTheThird) {
    CInstoriaDlg dlg;
    EXPECT_EQ(5, ApplyCommandLine(dlg, L"\"C:\\Temp\\Driver\\Instoria.exe\" E: 4 extra more"));
    EXPECT_EQ(4, dlg.m_nDoType);
    EXPECT_STREQ("", dlg.m_szInstallType);
    EXPECT_EQ(std::vector<std::string>({"param_print: param[0] = C:\\Temp\\Driver\\Instoria.exe",
                                        "param_print: param[1] = E:", "param_print: param[2] = 4",
                                        "argv[1] is : E:.", "dlg.m_nDoType = 4"}),
              LogMessages());
}

TEST_F(Startup, OnlyTheExactVerbsAreInstallTypes) {
    struct Case {
        const wchar_t* commandLine;
        const char* type;
        const char* line;
    };
    for (Case c : {Case{L"Instoria.exe /uninstall", "/uninstall", "Install type : /uninstall."},
                   Case{L"Instoria.exe /install 4", "/install", "Install type : /install."},
                   Case{L"Instoria.exe /UNINSTALL", "", "argv[1] is : /UNINSTALL."},
                   Case{L"Instoria.exe /uninstallx", "", "argv[1] is : /uninstallx."}}) {
        DeleteLog();
        CInstoriaDlg dlg;
        ApplyCommandLine(dlg, c.commandLine);
        EXPECT_STREQ(c.type, dlg.m_szInstallType);
        EXPECT_TRUE(HasMessage(c.line)) << c.line;
    }
}

TEST_F(Startup, AModeThatIsNotANumberIsZero) {
    for (const wchar_t* commandLine : {L"Instoria.exe E: \"\"", L"Instoria.exe E: x9", L"Instoria.exe E:"}) {
        CInstoriaDlg dlg;
        dlg.m_nDoType = 0;
        ApplyCommandLine(dlg, commandLine);
        EXPECT_EQ(0, dlg.m_nDoType);
    }
    EXPECT_FALSE(HasMessage("dlg.m_nDoType = 9"));
    EXPECT_TRUE(HasMessage("param_print: param[2] = x9"));
}

TEST_F(Startup, AWordLongerThanItsSlotIsNotUsed) {
    std::wstring commandLine = L"Instoria.exe /uninstall" + std::wstring(300, L'x') + L" 4";
    CInstoriaDlg dlg;
    // Which road was asked for cannot be known: the line cannot be used.
    EXPECT_EQ(-1, ApplyCommandLine(dlg, commandLine.c_str()));
    EXPECT_STREQ("", dlg.m_szInstallType);
    EXPECT_EQ(4, dlg.m_nDoType);
    EXPECT_TRUE(
        HasMessage("ERR: param_print: param[1] is longer than 259 bytes or not convertible, not used"));
    EXPECT_TRUE(HasMessage("argv[1] is : ."));
    // The program's own path is not used: too long, it leaves the line usable.
    EXPECT_EQ(2, ApplyCommandLine(dlg, (L"\"C:\\" + std::wstring(300, L'p') + L"\" E:").c_str()));

    // 259 bytes still fit.
    char slot[kPathRoom];
    std::wstring fits(kPathRoom - 1, L'y');
    EXPECT_TRUE(ConvertWord(fits.c_str(), slot));
    EXPECT_EQ(std::string(kPathRoom - 1, 'y'), slot);
    std::wstring tooLong(kPathRoom, L'y');
    EXPECT_FALSE(ConvertWord(tooLong.c_str(), slot));
    EXPECT_STREQ("", slot);
}

namespace {

const char* const kTextKeys[] = {"Installinfo",          "InfoAftetDriver",         "DrvProgramName",
                                 "NotationBoxTiltle",    "PhoneNotConnectNotation", "DriverExistNotation",
                                 "OnlyOnePhoneNotation", "Key_DriverUpdateSuc",     "Key_DriverUpdateFailed",
                                 "Key_UpdateNotation",   "Key_RestartNotation",     "Key_UpDating"};

// A DrvLang.ini section with every key, its texts prefixed by `tag`, leaving out `skip`.
std::string Section(WORD language, const std::string& tag, const std::string& skip = "") {
    char name[32];
    wsprintfA(name, "[Section_LID0x%04x]\r\n", language);
    std::string section = name;
    for (const char* key : kTextKeys) {
        if (key != skip)
            section += std::string(key) + "=" + tag + " " + key + "\r\n";
    }
    return section;
}

// DrvLang.ini beside the test program, where the installer looks for it.
class LanguageTexts : public Startup {
protected:
    void TearDown() override {
        DeleteFileA(m_file.c_str());
        Startup::TearDown();
    }
    void Write(const std::string& content) { WriteWholeFile(m_file, content); }
    std::string m_file = GetModuleDir() + "DrvLang.ini";
};

} // namespace

TEST_F(LanguageTexts, ACompleteSectionFillsEveryText) {
    Write(Section(0x0407, "de"));
    CInstoriaDlg dlg;
    EXPECT_EQ(1, dlg.LoadLanguageTexts(0x0407));
    EXPECT_EQ("de Installinfo", dlg.m_strInstallInfo);
    EXPECT_EQ("de NotationBoxTiltle", dlg.m_strBoxTitle);
    EXPECT_EQ("de OnlyOnePhoneNotation", dlg.m_strOnlyOnePhone);
    EXPECT_EQ("de Key_UpDating", dlg.m_strUpdating);
    EXPECT_EQ(12u, LogMessages().size());
    EXPECT_EQ("Info:The value of config(Section:Section_LID0x0407; Key:Key_UpDating) is de Key_UpDating.",
              LogMessages().back());
}

TEST_F(LanguageTexts, AMissingKeyStopsTheReadWithTheTextsBeforeIt) {
    // A text that is shown nowhere is required all the same.
    Write(Section(0x0407, "de", "Key_UpdateNotation"));
    CInstoriaDlg dlg;
    dlg.m_strRestartNotation = "before";
    EXPECT_EQ(0, dlg.LoadLanguageTexts(0x0407));
    EXPECT_EQ("de Key_DriverUpdateFailed", dlg.m_strUpdateFailed);
    EXPECT_EQ("", dlg.m_strUpdateNotation); // never the reader's DEFAULT_READ_STRING
    EXPECT_EQ("before", dlg.m_strRestartNotation);
    EXPECT_EQ("Err:Get config(Section:Section_LID0x0407; Key:Key_UpdateNotation) from cfg file fialed",
              LogMessages().back());

    Write("[Section_LID0x0407]\r\nInstallinfo=\r\n");
    EXPECT_EQ(0, dlg.LoadLanguageTexts(0x0407));
    EXPECT_EQ("de Installinfo", dlg.m_strInstallInfo);
}

TEST_F(LanguageTexts, TheSystemLanguageFallsBackToBritishEnglish) {
    WORD system = GetSystemDefaultLangID();
    if (system == 0x0809)
        GTEST_SKIP() << "the system language is the fallback itself";
    Write(Section(system, "sys", "Key_RestartNotation") + Section(0x0809, "uk"));
    CInstoriaDlg dlg;
    EXPECT_EQ(1, SelectLanguage(dlg));
    EXPECT_EQ("uk Installinfo", dlg.m_strInstallInfo);
    EXPECT_EQ("uk Key_RestartNotation", dlg.m_strRestartNotation);
    char line[128];
    wsprintfA(line, "Not support LID 0x%04x language, use default language:0x0809", system);
    EXPECT_TRUE(HasMessage(line));

    DeleteLog();
    Write(Section(system, "sys"));
    EXPECT_EQ(1, SelectLanguage(dlg));
    EXPECT_EQ("sys Installinfo", dlg.m_strInstallInfo);
    wsprintfA(line, "Support LID 0x%04x language, use this language", system);
    EXPECT_EQ(line, LogMessages().back());

    DeleteLog();
    Write(Section(0x0407 == system ? 0x040c : 0x0407, "other"));
    EXPECT_EQ(0, SelectLanguage(dlg));
    EXPECT_EQ("Use default language error", LogMessages().back());
}

namespace {

// A medium whose package folder holds the installer and the launcher's files beside it.
class Relaunch : public Startup {
protected:
    void SetUp() override {
        Startup::SetUp();
        m_edition = g_nEdition;
        m_profile = DeviceProfile;
        g_nEdition = kEditionWin7_32;
        DeviceProfile.DriverInstallName = "Instoria.exe";
        DeviceProfile.DriverInstallNameAMD64 = "Instoria64.exe";
        m_package = m_medium.File("Driver\\");
        for (const char* folder : {"", "Win7", "Res"})
            CreateDirectoryA((m_package + folder).c_str(), nullptr);
        WriteWholeFile(m_package + "drvcfg.ini", "[Section_Driver]\r\n");
        WriteWholeFile(m_medium.File("autoruncfg.cfg"),
                       "[Section_Autorun]\r\nKey_DllModuleName=Plugin.dll\r\n");
        WriteWholeFile(m_medium.File("Plugin.dll"), "library");
    }
    void TearDown() override {
        UseInstallerPackageDir(GetModuleDir());
        g_nEdition = m_edition;
        DeviceProfile = m_profile;
        Startup::TearDown();
    }
    // The folder the staging made, as its line names it, with a trailing backslash.
    std::string OwnFolder() const {
        const std::string head = "INF: The installer works from ";
        for (const std::string& line : LogMessages()) {
            if (line.compare(0, head.size(), head) == 0)
                return line.substr(head.size(), line.find(", a folder") - head.size()) + "\\";
        }
        return std::string();
    }

    TempDir m_medium;
    std::string m_package;

private:
    int m_edition = 0;
    DeviceProfileData m_profile;
};

} // namespace

TEST_F(Relaunch, FromTheMediumTheOwnCopyIsStartedWithDriveAndMode4) {
    // The Bootrel double in the installer's place journals the command line it is started with.
    CopyBuilt(BOOTREL_DOUBLE, m_package, "Instoria.exe");
    CInstoriaDlg dlg;
    CopyBounded(dlg.m_szCdromDrive, sizeof dlg.m_szCdromDrive, "e:");
    CDriverPrepare_Setup setup(m_medium.Path(), "Driver");
    EXPECT_EQ(0, install_driver_prepare(dlg, setup, PackagePlace::kMedium));
    std::string own = OwnFolder();
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(
        0, _strnicmp(own.c_str(), (std::string(windows) + "\\Temp\\Instoria-").c_str(), strlen(windows) + 15))
        << own;
    EXPECT_TRUE(HasMessage("Call Instoria.exe in Windows temp dir."));
    EXPECT_TRUE(HasMessage("INF: shell exe " + own + "Driver\\Instoria.exe with parameter E: 4"));
    // The tools started from there find the launcher's files beside them.
    EXPECT_EQ("library", ReadWholeFile(own + "Driver\\Plugin.dll"));
    std::string journal;
    for (int i = 0; i < 100 && journal.empty(); ++i, Sleep(100))
        journal = ReadWholeFile(own + "Driver\\Instoria.journal");
    EXPECT_EQ("Bootrel E: 4\r\n", journal);
}

TEST_F(Relaunch, EachStagingMakesAFolderOfItsOwn) {
    CopyBuilt(BOOTREL_DOUBLE, m_package, "Instoria.exe");
    CInstoriaDlg dlg;
    CDriverPrepare_Setup first(m_medium.Path(), "Driver");
    EXPECT_EQ(1, install_driver_prepare(dlg, first, PackagePlace::kChangeable));
    std::string firstFolder = OwnFolder();
    // A folder of that kind that someone else made first is passed by, and left as it was.
    size_t dash = firstFolder.rfind('-');
    std::string next =
        firstFolder.substr(0, dash + 1) + std::to_string(atoi(firstFolder.c_str() + dash + 1) + 1) + "\\";
    ASSERT_TRUE(CreateDirectoryA(next.c_str(), nullptr));
    WriteWholeFile(next + "theirs.txt", "theirs");
    DeleteLog();
    CDriverPrepare_Setup second(m_medium.Path(), "Driver");
    EXPECT_EQ(1, install_driver_prepare(dlg, second, PackagePlace::kChangeable));
    EXPECT_NE(firstFolder, OwnFolder());
    EXPECT_NE(next, OwnFolder());
    EXPECT_EQ("theirs", ReadWholeFile(next + "theirs.txt"));
    // Nothing is started: this installer goes on with the copy.
    EXPECT_EQ(OwnFolder() + "Driver\\", InstallerPackageDir());
    EXPECT_TRUE(HasMessage("INF: The installer goes on with its own copy of the package in " +
                           InstallerPackageDir()));
    EXPECT_FALSE(HasMessage("Call Instoria.exe in Windows temp dir."));
    EXPECT_EQ("[Section_Driver]\r\n", ReadWholeFile(InstallerPackageDir() + "drvcfg.ini"));
}

TEST_F(Relaunch, FromItsOwnCopyNothingIsStaged) {
    CInstoriaDlg dlg;
    CDriverPrepare_Setup setup(m_medium.Path(), "Driver");
    DeleteLog();
    EXPECT_EQ(1, install_driver_prepare(dlg, setup, PackagePlace::kOwnCopy));
    EXPECT_EQ(std::vector<std::string>({"enter install_driver_prepare()."}), LogMessages());
}

TEST_F(Relaunch, AnInstallerMissingFromTheOwnCopyFailsTheStaging) {
    CInstoriaDlg dlg;
    CopyBounded(dlg.m_szCdromDrive, sizeof dlg.m_szCdromDrive, "E:");
    CDriverPrepare_Setup setup(m_medium.Path(), "Driver");
    EXPECT_EQ(0, install_driver_prepare(dlg, setup, PackagePlace::kMedium));
    std::vector<std::string> messages = LogMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ("ERR: The staged installer " + OwnFolder() + "Driver\\Instoria.exe is missing",
              messages[messages.size() - 2]);
    EXPECT_EQ("InitalDriverSetup Failed", messages.back());
}

TEST_F(Relaunch, ASecondInstallerEndsAtTheMutex) {
    DeviceProfile.DriverInstallName = "PvMutexTest.exe";
    ScopedHandle first(CreateMutexA(nullptr, TRUE, "PvMutexTest.exe"));
    ASSERT_TRUE(first);
    CInstoriaDlg dlg;
    EXPECT_EQ(0, RunWithMutex(dlg));
    EXPECT_EQ(std::vector<std::string>({"INF: Mutex:PvMutexTest.exe is exist, close dialog"}), LogMessages());
}

TEST(ExitStatus, IsTheDocumentedNumberOfEachEnd) {
    // Support scripts and makers' tests compare these numbers: they may never change.
    EXPECT_EQ(0, ExitStatusOf(RunEnd::kDone));
    EXPECT_EQ(1, ExitStatusOf(RunEnd::kStepFailed));
    EXPECT_EQ(2, ExitStatusOf(RunEnd::kUnusableInput));
    EXPECT_EQ(3, ExitStatusOf(RunEnd::kNotAdministrator));
    EXPECT_EQ(4, ExitStatusOf(RunEnd::kDeviceCdrom));
    EXPECT_EQ(5, ExitStatusOf(RunEnd::kAlreadyRunning));
    EXPECT_EQ(3010, ExitStatusOf(RunEnd::kDoneRestart));
}
