#include "common/staging.h"

#include "common/files.h"
#include "common/folder_name.h"
#include "common/staging_folder.h"
#include "common/handles.h"
#include "common/host.h"
#include "common/log.h"
#include "common/profile.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

bool HasMessage(const std::string& message) {
    std::vector<std::string> messages = LogMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

bool HasMessageStarting(const std::string& start) {
    for (const std::string& message : LogMessages()) {
        if (message.compare(0, start.size(), start) == 0)
            return true;
    }
    return false;
}

// A medium with a package folder beside the programs, and a temp folder of the test's own: {Temp} is
// what TMP names while the test runs.
class Staging : public ::testing::Test {
protected:
    void SetUp() override {
        InitLogFile();
        m_oldEdition = g_nEdition;
        m_oldProfile = DeviceProfile;
        DeviceProfile.DriverInstallName = "Instoria.exe";
        DeviceProfile.DriverInstallNameAMD64 = "Instoria64.exe";
        char old[MAX_PATH] = {};
        m_hadTmp = GetEnvironmentVariableA("TMP", old, MAX_PATH) > 0;
        m_oldTmp = old;
        SetEnvironmentVariableA("TMP", m_temp.Path().c_str());
        DeleteLog();
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", m_hadTmp ? m_oldTmp.c_str() : nullptr);
        g_nEdition = m_oldEdition;
        DeviceProfile = m_oldProfile;
        DeleteLog();
    }

    // medium\Pkg\ holding the installers, the editions' folders (Win7's and Win7-AMD64's with the subfolders
    // a maker's INFs take their driver files from), Res and a sub-folder that is not staged.
    std::string MakePackage(const std::string& folder = "Pkg") {
        std::string package = m_medium.File(folder) + "\\";
        for (const char* sub : {"", "Win7", "Win7\\x86", "Win7\\x86\\co", "Win7-AMD64", "Win7-AMD64\\amd64",
                                "Vista", "Vista-AMD64", "Res", "Extra"})
            CreateDirectoryA((package + sub).c_str(), nullptr);
        for (const char* file :
             {"Instoria.exe", "Instoria64.exe", "drvcfg.ini", "DrvLang.ini", "Win7\\qvser.sys",
              "Win7\\x86\\qvusbser.sys", "Win7\\x86\\co\\qvcoinst.dll", "Win7-AMD64\\qvser64.sys",
              "Win7-AMD64\\amd64\\qvusbser.sys", "Vista\\qvvista.sys", "Vista-AMD64\\qvvista64.sys",
              "Res\\DrvInstall.bmp", "Extra\\notes.txt"})
            WriteWholeFile(package + file, std::string("content of ") + file);
        return package;
    }
    std::string Staged(const std::string& relative) const { return m_temp.Path() + relative; }
    // The paths the staging folder's record names, lowered.
    std::set<std::string> Recorded(const std::string& folder = "Pkg") const {
        std::vector<std::string> refused;
        return ParseStagingRecord(ReadWholeFile(Staged(folder + "\\StagedFiles.txt")), refused);
    }

    TempDir m_medium;
    TempDir m_temp;

private:
    int m_oldEdition = 0;
    DeviceProfileData m_oldProfile;
    bool m_hadTmp = false;
    std::string m_oldTmp;
};

} // namespace

TEST_F(Staging, TheInstallerStagesItsFolderWithTheEditionFolderAndRes) {
    std::string package = MakePackage();
    // Four levels of subfolders below the edition folder are staged, a fifth is not.
    std::string deep = package + "Win7\\x86\\co";
    for (const char* folder : {"\\a", "\\a\\b", "\\a\\b\\c"})
        CreateDirectoryA((deep + folder).c_str(), nullptr);
    WriteWholeFile(deep + "\\a\\b\\four.sys", "four");
    WriteWholeFile(deep + "\\a\\b\\c\\five.sys", "five");
    g_nEdition = kEditionXP;
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ("Pkg", setup.m_strDriverPath);
    EXPECT_EQ(0, setup.m_bFromSubFolder);

    EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    for (const char* file :
         {"Pkg\\Instoria.exe", "Pkg\\Instoria64.exe", "Pkg\\drvcfg.ini", "Pkg\\Win7\\qvser.sys",
          "Pkg\\Win7\\x86\\qvusbser.sys", "Pkg\\Win7\\x86\\co\\qvcoinst.dll", "Pkg\\Res\\DrvInstall.bmp"})
        EXPECT_EQ(std::string("content of ") + (strchr(file, '\\') + 1), ReadWholeFile(Staged(file))) << file;
    EXPECT_EQ("four", ReadWholeFile(Staged("Pkg\\Win7\\x86\\co\\a\\b\\four.sys")));
    EXPECT_FALSE(Exists(Staged("Pkg\\Win7\\x86\\co\\a\\b\\c")));
    EXPECT_TRUE(HasMessage("ERR: The folder " + deep +
                           "\\a\\b\\c lies more than 4 levels below the edition folder; it is not staged"));
    // The record names what the next staging removes: the subfolders and their files too.
    std::set<std::string> recorded = Recorded();
    for (const char* path : {"win7\\", "win7\\x86\\", "win7\\x86\\qvusbser.sys", "win7\\x86\\co\\",
                             "win7\\x86\\co\\qvcoinst.dll", "win7\\x86\\co\\a\\b\\four.sys", "res\\"})
        EXPECT_EQ(1u, recorded.count(path)) << path;
    EXPECT_EQ(0u, recorded.count("win7\\x86\\co\\a\\b\\c\\"));
    // XP has no folder of its own; other editions' folders and sub-folders of the package stay behind.
    EXPECT_FALSE(Exists(Staged("Pkg\\Vista")));
    EXPECT_FALSE(Exists(Staged("Pkg\\Win7-AMD64")));
    EXPECT_FALSE(Exists(Staged("Pkg\\Extra")));
    EXPECT_TRUE(HasMessage("Info:CDriverPrepare_Setup():m_strDriverPath = Pkg."));
    EXPECT_TRUE(HasMessage(
        "make sure the temp driver folder then create it :\\Win7 --AutoRun_GetTmpSysDrvDirName()--"));
    EXPECT_TRUE(HasMessage("CopyFile: " + package + "Win7\\qvser.sys >> " + Staged("Pkg\\Win7\\qvser.sys")));
    EXPECT_TRUE(HasMessage("CopyClientSetup():param1: Pkg; param2: \\Win7\\x86\\co "));
    EXPECT_TRUE(HasMessage("END: Copy the client setup, SUC.."));
}

TEST_F(Staging, EachEditionGetsItsOwnFolder) {
    std::string package = MakePackage();
    struct Case {
        int edition;
        const char* file;
    };
    for (Case c :
         {Case{kEditionWin7_64, "Pkg\\Win7-AMD64\\amd64\\qvusbser.sys"},
          Case{kEditionVista64, "Pkg\\Vista-AMD64\\qvvista64.sys"},
          Case{kEditionVista32, "Pkg\\Vista\\qvvista.sys"}, Case{kEditionWin2000, "Pkg\\Win7\\qvser.sys"}}) {
        g_nEdition = c.edition;
        CDriverPrepare_Setup setup(package);
        EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver()) << c.edition;
        EXPECT_TRUE(Exists(Staged(c.file))) << c.file;
    }
    // Each staging took away the folders of the one before, subfolders and all, as its own.
    for (const char* gone : {"Pkg\\Win7-AMD64", "Pkg\\Vista-AMD64", "Pkg\\Vista", "Pkg.aside-1"})
        EXPECT_FALSE(Exists(Staged(gone))) << gone;
}

TEST_F(Staging, AnUnknownEditionStopsAfterThePackageFolderWithNothingCopied) {
    std::string package = MakePackage();
    g_nEdition = kEditionUnknown;
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(Exists(Staged("Pkg")));
    EXPECT_FALSE(Exists(Staged("Pkg\\Instoria.exe")));
    EXPECT_FALSE(Exists(Staged("Pkg\\Res")));

    // Called on its own, the copy does the package folder, then refuses the edition.
    EXPECT_EQ(0, setup.AutoRun_CopyAllFiles("Pkg"));
    EXPECT_TRUE(Exists(Staged("Pkg\\Instoria.exe")));
    EXPECT_TRUE(HasMessage("AutoRun_CopyAllFiles(): Not support this OS: 0 "));
}

TEST_F(Staging, AReadOnlyFileOfAnEarlierStagingIsReplaced) {
    std::string package = MakePackage();
    g_nEdition = kEditionWin7_32;
    CDriverPrepare_Setup setup(package);
    ASSERT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    WriteWholeFile(Staged("Pkg\\drvcfg.ini"), "old");
    SetFileAttributesA(Staged("Pkg\\drvcfg.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    EXPECT_EQ("content of drvcfg.ini", ReadWholeFile(Staged("Pkg\\drvcfg.ini")));
    EXPECT_FALSE(Exists(Staged("Pkg.aside-1"))) << "nothing but the staging's own files was there";
}

TEST_F(Staging, AFileThatCannotBeCopiedFailsTheStagingAndTheRestStillArrives) {
    std::string package = MakePackage();
    g_nEdition = kEditionWin7_32;
    // A medium file that cannot be read (as when the medium goes, or another program holds it).
    ScopedFileHandle held(CreateFileA((package + "drvcfg.ini").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());

    std::string line = "CopyFile: " + package + "drvcfg.ini >> " + Staged("Pkg\\drvcfg.ini");
    EXPECT_FALSE(HasMessage(line));
    EXPECT_TRUE(HasMessageStarting("ERR: " + line + " failed, error "));
    EXPECT_TRUE(HasMessage("ERR: Copy the client setup, 1 files failed.."));
    EXPECT_TRUE(HasMessage("ERR: 1 files of the package could not be staged; the staging failed"));
    EXPECT_TRUE(Exists(Staged("Pkg\\Instoria.exe")));
    EXPECT_TRUE(Exists(Staged("Pkg\\Win7\\qvser.sys")));

    // The next staging, with the file readable again, is whole.
    held.Reset();
    EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    EXPECT_EQ("content of drvcfg.ini", ReadWholeFile(Staged("Pkg\\drvcfg.ini")));
}

TEST_F(Staging, WhatTheStagingDidNotWriteIsMovedAsideNeverDeleted) {
    std::string package = MakePackage();
    g_nEdition = kEditionXP;
    CDriverPrepare_Setup setup(package);
    ASSERT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    // A library the elevated installer would load from its own folder, a driver it would place, a folder of
    // the user's; and the medium no longer holds one of the staged files, nor a subfolder of the edition's.
    for (const char* folder : {"Pkg\\Old", "Pkg\\Old\\Deep"})
        CreateDirectoryA(Staged(folder).c_str(), nullptr);
    for (const char* planted :
         {"version.dll", "Win7\\planted.sys", "Win7\\x86\\co\\planted.dll", "Old\\Deep\\old.inf"})
        WriteWholeFile(Staged("Pkg\\") + planted, std::string("planted ") + planted);
    SetFileAttributesA(Staged("Pkg\\Win7\\planted.sys").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteWholeFile(Staged("Pkg.aside-1"), "the user's, where the first aside folder would go");
    DeleteFileA((package + "DrvLang.ini").c_str());
    DeleteFileA((package + "Win7\\x86\\co\\qvcoinst.dll").c_str());
    RemoveDirectoryA((package + "Win7\\x86\\co").c_str());

    EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    for (const char* planted : {"version.dll", "Win7\\planted.sys", "Win7\\x86\\co", "Old"})
        EXPECT_FALSE(Exists(Staged("Pkg\\") + planted)) << planted;
    for (const char* planted :
         {"version.dll", "Win7\\planted.sys", "Win7\\x86\\co\\planted.dll", "Old\\Deep\\old.inf"})
        EXPECT_EQ(std::string("planted ") + planted, ReadWholeFile(Staged("Pkg.aside-2\\") + planted));
    EXPECT_FALSE(Exists(Staged("Pkg.aside-2\\Win7\\x86\\co\\qvcoinst.dll")));
    EXPECT_TRUE(HasMessage("INF: " + Staged("Pkg\\version.dll") +
                           " was not staged by this package; moved aside to " +
                           Staged("Pkg.aside-2\\version.dll")));
    EXPECT_EQ("the user's, where the first aside folder would go", ReadWholeFile(Staged("Pkg.aside-1")));
    // What the earlier staging wrote went; what the medium holds now arrived.
    EXPECT_FALSE(Exists(Staged("Pkg\\DrvLang.ini")));
    EXPECT_EQ("content of Instoria.exe", ReadWholeFile(Staged("Pkg\\Instoria.exe")));
    EXPECT_EQ("content of Win7\\qvser.sys", ReadWholeFile(Staged("Pkg\\Win7\\qvser.sys")));
    EXPECT_EQ("content of Win7\\x86\\qvusbser.sys", ReadWholeFile(Staged("Pkg\\Win7\\x86\\qvusbser.sys")));
    EXPECT_EQ(0u, Recorded().count("win7\\x86\\co\\"));
}

TEST_F(Staging, TheRecordNamesNothingOutsideTheStagingFolder) {
    std::string package = MakePackage();
    g_nEdition = kEditionXP;
    CreateDirectoryA(Staged("Pkg").c_str(), nullptr);
    WriteWholeFile(Staged("victim.txt"), "the user's");
    WriteWholeFile(Staged("Pkg\\StagedFiles.txt"),
                   "..\\victim.txt\r\n" + Staged("victim.txt") + "\r\nnotes.txt\r\n");
    WriteWholeFile(Staged("Pkg\\notes.txt"), "named by the record");
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    EXPECT_EQ("the user's", ReadWholeFile(Staged("victim.txt")));
    EXPECT_TRUE(HasMessage("ERR: The staging record " + Staged("Pkg\\StagedFiles.txt") +
                           " names ..\\victim.txt, which is not below the staging folder; ignored"));
    EXPECT_FALSE(Exists(Staged("Pkg\\notes.txt"))) << "a name the record gives is the staging's own";
    EXPECT_FALSE(Exists(Staged("Pkg.aside-1")));
}

TEST_F(Staging, AFileThatCannotBeMovedAsideStopsTheStaging) {
    std::string package = MakePackage();
    g_nEdition = kEditionXP;
    CreateDirectoryA(Staged("Pkg").c_str(), nullptr);
    WriteWholeFile(Staged("Pkg\\planted.dll"), "planted");
    // Held open by another program that shares nothing: it can be neither moved nor trusted.
    ScopedFileHandle held(CreateFileA(Staged("Pkg\\planted.dll").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(HasMessageStarting("ERR: " + Staged("Pkg\\planted.dll") +
                                   " was not staged by this package and cannot be moved aside to "));
    EXPECT_TRUE(
        HasMessage("ERR: The staging folder " + Staged("Pkg") + " cannot be cleaned; nothing is staged"));
    EXPECT_FALSE(Exists(Staged("Pkg\\Instoria.exe")));
    held.Reset();
    EXPECT_EQ("planted", ReadWholeFile(Staged("Pkg\\planted.dll")));
}

TEST_F(Staging, NothingIsStagedWhileAnInstallerOfThePackageHoldsItsMutex) {
    std::string package = MakePackage();
    g_nEdition = kEditionXP;
    CreateDirectoryA(Staged("Pkg").c_str(), nullptr);
    WriteWholeFile(Staged("Pkg\\notes.txt"), "the user's");
    ScopedHandle mutex(CreateMutexA(nullptr, TRUE, "Instoria64.exe"));
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(
        HasMessage("ERR: The installer Instoria64.exe is at work; its staging folder Pkg is left as it is"));
    EXPECT_EQ("the user's", ReadWholeFile(Staged("Pkg\\notes.txt")));
    EXPECT_FALSE(Exists(Staged("Pkg\\Instoria.exe")));
    EXPECT_FALSE(Exists(Staged("Pkg.aside-1")));
}

TEST_F(Staging, AFolderNameThatIsNotOnePlainNameIsRefusedByBothPrograms) {
    MakePackage("Driver");
    g_nEdition = kEditionXP;
    WriteWholeFile(Staged("notes.txt"), "the user's");
    for (std::string name : {"..", ".", "..\\x", "a:b", "nul"}) {
        WriteWholeFile(m_medium.File("autoruncfg.cfg"),
                       "[Section_Autorun]\r\nKey_DllModuleName=Plug.dll\r\nKey_DriverPath=" + name + "\r\n");
        CDriverPrepare_PcOptions options(m_medium.Path());
        EXPECT_EQ("", options.m_strDriverPath) << name;
        EXPECT_TRUE(HasMessage("ERR: The package folder name '" + name +
                               "' is not one plain folder name; it is refused and nothing is staged"));
        EXPECT_EQ(0, options.AutoRun_CopyAllFiles()) << name;
    }
    // The installer takes the name of its own folder: at a drive's root that is the drive.
    CDriverPrepare_Setup setup("E:\\");
    EXPECT_EQ("", setup.m_strDriverPath);
    EXPECT_TRUE(
        HasMessage("ERR: The package folder name 'E:' is not one plain folder name; it is refused and "
                   "nothing is staged"));
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_EQ("the user's", ReadWholeFile(Staged("notes.txt")));
    EXPECT_FALSE(Exists(Staged("Driver")));
}

TEST_F(Staging, APackageInsideTheStagingFolderIsNotEmptiedAway) {
    // The medium's files copied into the temp folder and started from there.
    std::string package = Staged("Pkg\\");
    CreateDirectoryA(package.c_str(), nullptr);
    WriteWholeFile(package + "Instoria.exe", "the package's own");
    g_nEdition = kEditionXP;
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(HasMessage("ERR: The package " + package + " lies in the staging folder " + Staged("Pkg") +
                           "; nothing is staged"));
    EXPECT_EQ("the package's own", ReadWholeFile(package + "Instoria.exe"));
}

TEST_F(Staging, AMissingSourceFolderIsLoggedAndTheStagingGoesOn) {
    std::string package = MakePackage();
    DeleteFileA((package + "Res\\DrvInstall.bmp").c_str());
    RemoveDirectoryA((package + "Res").c_str());
    g_nEdition = kEditionWin7_32;
    CDriverPrepare_Setup setup(package);
    EXPECT_EQ(1, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(HasMessage("Error: CopyClientSetup():FindFile " + package + "Res\\*.* error"));
    EXPECT_TRUE(Exists(Staged("Pkg\\Res")));
    EXPECT_TRUE(Exists(Staged("Pkg\\Win7\\qvser.sys")));
}

TEST_F(Staging, APathThatWouldNotFitIsRefusedNotCut) {
    g_nEdition = kEditionWin7_32;
    std::string longName(kPathRoom - m_temp.Path().size(), 'p'); // with {Temp}: 260 characters, one too many
    CDriverPrepare_Setup setup(m_medium.Path());
    setup.m_strDriverPath = longName;
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(HasMessageStarting("ERR: The temp package folder ppp"));
    // Nothing was made under a shortened name.
    WIN32_FIND_DATAA found;
    EXPECT_FALSE(ScopedFindHandle(FindFirstFileA((m_temp.Path() + "p*").c_str(), &found)));

    // Four characters less fit the folder itself, but not with "\Win7" after it.
    setup.m_strDriverPath = longName.substr(4);
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    std::string base = Staged(setup.m_strDriverPath);
    for (size_t cut = 2; cut <= 5; ++cut)
        EXPECT_FALSE(Exists(base + std::string("\\Win7").substr(0, cut))) << cut;

    // An edition folder's subfolder whose staged path would not fit fails the staging; the rest arrives.
    std::string package = MakePackage();
    std::string deeper = m_temp.File(std::string(40, 't')) + "\\";
    CreateDirectoryA(deeper.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", deeper.c_str());
    std::string name(kPathRoom - (deeper + "Pkg\\Win7\\").size(), 'x'); // staged: 260 characters
    CreateDirectoryA((package + "Win7\\" + name).c_str(), nullptr);
    WriteWholeFile(package + "Win7\\" + name + "\\qvlong.sys", "long");
    CDriverPrepare_Setup packaged(package);
    EXPECT_EQ(0, packaged.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(HasMessage("ERR: The path of Win7\\" + name + " is longer than 259 characters, refused"));
    EXPECT_TRUE(HasMessage("ERR: 1 files of the package could not be staged; the staging failed"));
    EXPECT_TRUE(Exists(deeper + "Pkg\\Win7\\x86\\qvusbser.sys"));
}

TEST_F(Staging, TheLauncherStagesThePackageWithItsConfigurationAndPlugin) {
    MakePackage("Driver");
    WriteWholeFile(m_medium.File("autoruncfg.cfg"),
                   "[Section_Autorun]\r\nKey_DllModuleName=Plug.dll\r\nKey_DriverPath=Driver\r\n");
    WriteWholeFile(m_medium.File("Plug.dll"), "library");
    WriteWholeFile(m_medium.File("Plug.ini"), "library settings");
    g_nEdition = kEditionWin7_32;
    CDriverPrepare_PcOptions options(m_medium.Path());
    EXPECT_EQ(m_medium.File("autoruncfg.cfg"), options.m_strCfgPath);
    EXPECT_EQ("Plug.dll", options.m_strDllModuleName);
    EXPECT_EQ("Driver", options.m_strDriverPath);
    EXPECT_EQ(1, options.m_bFromSubFolder);

    EXPECT_EQ(1, options.AutoRun_CopyAllFiles());
    for (const char* file : {"Driver\\Instoria.exe", "Driver\\Win7\\qvser.sys", "Driver\\Res\\DrvInstall.bmp",
                             "Driver\\autoruncfg.cfg", "Driver\\Plug.dll", "Driver\\Plug.ini"})
        EXPECT_TRUE(Exists(Staged(file))) << file;
    EXPECT_EQ("library settings", ReadWholeFile(Staged("Driver\\Plug.ini")));
    EXPECT_FALSE(HasMessageStarting("make sure the temp driver folder")); // the installer's line only
    EXPECT_TRUE(HasMessage("END: Copy the file " + m_medium.File("Plug.ini") + " to temp(" +
                           Staged("Driver\\Plug.ini") + ") success"));
}

TEST_F(Staging, ALibraryNamedInCapitalsGetsNoIni) {
    MakePackage("Driver");
    WriteWholeFile(m_medium.File("autoruncfg.cfg"),
                   "[Section_Autorun]\r\nKey_DllModuleName=Plug.DLL\r\nKey_DriverPath=Driver\r\n");
    WriteWholeFile(m_medium.File("Plug.DLL"), "library");
    WriteWholeFile(m_medium.File("Plug.ini"), "library settings");
    g_nEdition = kEditionWin7_32;
    CDriverPrepare_PcOptions options(m_medium.Path());
    EXPECT_EQ(1, options.AutoRun_CopyAllFiles());
    EXPECT_TRUE(Exists(Staged("Driver\\Plug.DLL")));
    EXPECT_FALSE(Exists(Staged("Driver\\Plug.ini")));
    EXPECT_EQ("Plug.ini", PluginIniName("Plug.dll"));
    EXPECT_EQ("a.ini.ini", PluginIniName("a.dll.dll"));
}

TEST_F(Staging, AMissingExtraFileIsLoggedAndTheStagingSucceeds) {
    MakePackage("Driver");
    WriteWholeFile(m_medium.File("autoruncfg.cfg"),
                   "[Section_Autorun]\r\nKey_DllModuleName=Plug.dll\r\nKey_DriverPath=Driver\r\n");
    g_nEdition = kEditionWin7_32;
    CDriverPrepare_PcOptions options(m_medium.Path());
    EXPECT_EQ(1, options.AutoRun_CopyAllFiles());
    EXPECT_TRUE(
        HasMessage("ERR: The file " + m_medium.File("Plug.dll") + " that need copy to temp isn't exist"));
}

TEST_F(Staging, AnUnreadableLauncherConfigurationLeavesNothingToStage) {
    MakePackage("Driver");
    g_nEdition = kEditionWin7_32;
    // Without the library's name the package folder is not even read.
    WriteWholeFile(m_medium.File("autoruncfg.cfg"), "[Section_Autorun]\r\nKey_DriverPath=Driver\r\n");
    {
        CDriverPrepare_PcOptions options(m_medium.Path());
        EXPECT_EQ("", options.m_strDllModuleName);
        EXPECT_EQ("", options.m_strDriverPath);
        EXPECT_EQ(1, options.m_bFromSubFolder);
        EXPECT_TRUE(HasMessage(
            "Err:Get config(Section:Section_Autorun; Key:Key_DllModuleName) from cfg file fialed"));
        EXPECT_EQ(0, options.AutoRun_CopyAllFiles());
    }
    // A missing package folder name stays empty: never the reader's DEFAULT_READ_STRING.
    WriteWholeFile(m_medium.File("autoruncfg.cfg"), "[Section_Autorun]\r\nKey_DllModuleName=Plug.dll\r\n");
    {
        CDriverPrepare_PcOptions options(m_medium.Path());
        EXPECT_EQ("Plug.dll", options.m_strDllModuleName);
        EXPECT_EQ("", options.m_strDriverPath);
        EXPECT_EQ(0, options.AutoRun_CopyAllFiles());
    }
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA((m_temp.Path() + "*.*").c_str(), &found));
    int entries = 0;
    if (search) {
        do
            ++entries;
        while (FindNextFileA(search.Get(), &found));
    }
    EXPECT_EQ(2, entries) << "only . and .. in the temp folder";
}

TEST(SetupParameters, AreTheUpperCaseDriveABlankAndTheModeDigit) {
    char text[kPathRoom];
    ASSERT_TRUE(ComposeSetupParameters(text, sizeof text, "e:\\", 5));
    EXPECT_STREQ("E: 5", text);
    ASSERT_TRUE(ComposeSetupParameters(text, sizeof text, "F:", 4));
    EXPECT_STREQ("F: 4", text);
    ASSERT_TRUE(ComposeSetupParameters(text, sizeof text, "", 0));
    EXPECT_STREQ(" 0", text);
    EXPECT_FALSE(ComposeSetupParameters(text, sizeof text, "E:", 10));
    EXPECT_FALSE(ComposeSetupParameters(text, sizeof text, "E:", -1));
}

class StagedStart : public Staging {
protected:
    // The Bootrel double under the installer's name: it journals its command line beside itself.
    std::string PlaceRecorder(const std::string& folder, const std::string& name) {
        CreateDirectoryA(folder.c_str(), nullptr);
        return CopyBuilt(BOOTREL_DOUBLE, folder, name);
    }
    static std::string Journal(const std::string& program) {
        return ReadWholeFile(program.substr(0, program.rfind('.')) + ".journal");
    }
};

TEST_F(StagedStart, StartsTheEditionsStagedInstallerWithDriveAndMode) {
    g_nEdition = kEditionWin7_64;
    std::string program = PlaceRecorder(Staged("Pkg\\"), "Instoria64.exe");
    CDriverPrepare_Setup setup(m_medium.File("Pkg\\"));
    EXPECT_EQ(1, setup.ShellExeTmpSetup("e:\\", 4));
    EXPECT_TRUE(HasMessage("INF: shell exe " + program + " with parameter E: 4"));
    for (int i = 0; i < 100 && Journal(program).empty(); ++i)
        Sleep(100); // the start does not wait
    EXPECT_EQ("Bootrel E: 4\r\n", Journal(program));
}

TEST_F(StagedStart, AFailedStartIsNotReportedAsStarted) {
    g_nEdition = kEditionXP;
    CDriverPrepare_Setup setup(m_medium.File("Pkg\\"));
    EXPECT_EQ(0, setup.ShellExeTmpSetup("E:", 4));
    std::string program = Staged("Pkg\\Instoria.exe");
    EXPECT_TRUE(HasMessageStarting("ERR: shell exe " + program + " with parameter E: 4 failed, code "));
    EXPECT_FALSE(HasMessageStarting("INF: shell exe"));

    EXPECT_EQ(0, setup.ShellExeTmpSetup("E:", 12));
    EXPECT_TRUE(HasMessage("ERR: shell exe refused: run mode 12 is not one digit"));
}

TEST_F(StagedStart, ThePackageSetupOnTheMediumIsWaitedFor) {
    // Windows 7 64-bit still runs the 32-bit installer on the medium: it stages the 64-bit one itself.
    g_nEdition = kEditionWin7_64;
    std::string program = PlaceRecorder(m_medium.File("Driver\\"), "Instoria.exe");
    WriteWholeFile(m_medium.File("autoruncfg.cfg"),
                   "[Section_Autorun]\r\nKey_DllModuleName=Plug.dll\r\nKey_DriverPath=Driver\r\n");
    CDriverPrepare_PcOptions options(m_medium.Path());
    EXPECT_EQ(1, options.RunPackageSetup(6));
    std::string drive = m_medium.Path().substr(0, 2);
    EXPECT_EQ("Bootrel " + drive + " 6\r\n", Journal(program)); // ended before the call returned
    EXPECT_TRUE(HasMessage("INF: Run client " + program + " " + drive + " 6 setup, SUC..."));

    DeleteFileA(program.c_str());
    EXPECT_EQ(0, options.RunPackageSetup(6));
    EXPECT_TRUE(
        HasMessage("ERR: ShellExecuteEx " + program + " with para(" + drive + " 6) error,last error:2..."));
}

TEST_F(StagedStart, ARunningInstallerOfEitherNameIsFound) {
    CDriverPrepare_Setup setup(m_medium.File("Pkg\\"));
    DeviceProfile.DriverInstallName = "PvStagingA.exe";
    DeviceProfile.DriverInstallNameAMD64 = "PvStagingB.exe";
    EXPECT_EQ(0, setup.IsSetupRunning());
    EXPECT_EQ(0, setup.IsProcessRunning(""));
    std::string program = m_medium.File("PvStagingB.exe");
    ASSERT_TRUE(CopyFileA((TestDir() + "sleeper.exe").c_str(), program.c_str(), FALSE));
    ScopedHandle running(StartProgram(program, "60000"));
    ASSERT_TRUE(running);
    Sleep(500);
    EXPECT_EQ(1, setup.IsProcessRunning("pvstagingb.EXE"));
    EXPECT_EQ(1, setup.IsSetupRunning());
    EXPECT_TRUE(HasMessage("Program(PvStagingB.exe) is running"));
    // Its program folder is the staging folder: nothing is staged under it.
    EXPECT_EQ(0, setup.AutoRun_PrepareTmpDriver());
    EXPECT_TRUE(
        HasMessage("ERR: The installer PvStagingB.exe is at work; its staging folder Pkg is left as it is"));
    TerminateProcess(running.Get(), 1);
    WaitForSingleObject(running.Get(), 5000);
}

TEST(PackageFolderName, TakesOnlyOnePlainFolderNameAsTheMediumCheckerDoes) {
    // The medium checker's test reads the same table.
    std::vector<TableCase> cases = ReadCaseTable(FOLDER_NAME_CASES);
    for (const TableCase& c : cases)
        EXPECT_EQ(c.words == "plain ", IsPlainFolderName(c.value)) << c.words << c.value;
    EXPECT_GT(cases.size(), 20u);
}

TEST(StagingRecord, CountsOnlyPathsBelowTheStagingFolder) {
    std::vector<std::string> refused;
    std::set<std::string> paths =
        ParseStagingRecord("; a comment\r\nInstoria.exe\r\nWin7\\QvSer.sys\nRes\\\r\n\r\n"
                           "..\\x\r\nC:\\x\r\n\\x\r\na/b\r\nWin7\\..\\..\\x\r\na\\\\b\r\n"
                           "x:stream\r\nWin7.\\x\r\n.\r\n*.sys",
                           refused);
    EXPECT_EQ((std::set<std::string>{"instoria.exe", "win7\\qvser.sys", "res\\"}), paths);
    EXPECT_EQ((std::vector<std::string>{"..\\x", "c:\\x", "\\x", "a/b", "win7\\..\\..\\x", "a\\\\b",
                                        "x:stream", "win7.\\x", ".", "*.sys"}),
              refused);
    refused.clear();
    EXPECT_EQ(paths, ParseStagingRecord(ComposeStagingRecord({"Instoria.exe", "Win7\\qvser.sys", "Res\\"}),
                                        refused));
    EXPECT_TRUE(refused.empty());
}

TEST(MediumFolders, AreStagedWhileLevelsAreLeftAndNeverThroughALink) {
    const DWORD folder = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(MediumFolderFate::kStage, DecideMediumFolder(folder | FILE_ATTRIBUTE_READONLY, 1));
    EXPECT_EQ(MediumFolderFate::kTooDeep, DecideMediumFolder(folder, 0));
    // A junction or a symbolic link on the medium may lead anywhere: it is never entered, at any level.
    EXPECT_EQ(MediumFolderFate::kSkipLink, DecideMediumFolder(folder | FILE_ATTRIBUTE_REPARSE_POINT, 4));
    EXPECT_EQ(MediumFolderFate::kSkipLink, DecideMediumFolder(folder | FILE_ATTRIBUTE_REPARSE_POINT, 0));
}

TEST(StagedEntries, LinksAreRemovedAndOnlyTheStagingsOwnFilesDeleted) {
    const DWORD folder = FILE_ATTRIBUTE_DIRECTORY, reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    EXPECT_EQ(StagedEntryFate::kDelete, DecideStagedEntry(FILE_ATTRIBUTE_READONLY, 0, true));
    EXPECT_EQ(StagedEntryFate::kMoveAside, DecideStagedEntry(FILE_ATTRIBUTE_NORMAL, 0, false));
    EXPECT_EQ(StagedEntryFate::kEnter, DecideStagedEntry(folder, 0, true));
    EXPECT_EQ(StagedEntryFate::kMoveAside, DecideStagedEntry(folder | FILE_ATTRIBUTE_HIDDEN, 0, false));
    // A link goes as a link, recorded or not, to a folder or to a file; what it points to is never entered.
    for (bool recorded : {true, false}) {
        EXPECT_EQ(StagedEntryFate::kRemoveLink,
                  DecideStagedEntry(folder | reparse, IO_REPARSE_TAG_MOUNT_POINT, recorded));
        EXPECT_EQ(StagedEntryFate::kRemoveLink,
                  DecideStagedEntry(folder | reparse, IO_REPARSE_TAG_SYMLINK, recorded));
        EXPECT_EQ(StagedEntryFate::kRemoveLink, DecideStagedEntry(reparse, IO_REPARSE_TAG_SYMLINK, recorded));
        // Any other reparse point holds the user's data (a cloud file's placeholder, say).
        EXPECT_EQ(StagedEntryFate::kMoveAside, DecideStagedEntry(reparse, 0x9000001Au, recorded));
        EXPECT_EQ(StagedEntryFate::kMoveAside, DecideStagedEntry(folder | reparse, 0x9000001Au, recorded));
    }
}
