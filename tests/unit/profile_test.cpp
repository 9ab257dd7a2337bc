#include "common/profile.h"

#include "common/device_ids.h"
#include "common/folder_name.h"
#include "common/handles.h"
#include "common/install_status.h"
#include "common/log.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

const char kCompleteProfile[] = "[Section_Driver]\r\n"
                                "Key_TotalInterface=3\r\n"
                                "Key_ProductId=usb\\vid_1a2b&pid_0001\r\n"
                                "Key_ModemHwId=usb\\vid_1a2b&pid_0001&mi_00\r\n"
                                "Key_ModemHwIdVersion=2.1.0.8\r\n"
                                "Key_SerialHwId=usb\\vid_1a2b&pid_0001&mi_01\r\n"
                                "Key_SerialHwIdVersion=2.1.0.7\r\n"
                                "Key_UsbStorHwId=usbstor\\cdromvirtual_modem\r\n"
                                "Key_MassCmpId=usb\\class_08\r\n"
                                "Key_CDROMSignId=virtual_modem\r\n"
                                "Key_UsbStorCmpId=usbstor\\cdrom\r\n"
                                "Key_UDiskId=usb\\vid_1a2b&pid_0002\r\n"
                                "Key_UsbDriverName=pvusbser.sys\r\n"
                                "Key_AdbUsbDriverName=pvadb.sys\r\n"
                                "Key_AdbHwId=usb\\vid_1a2b&pid_0001&mi_02\r\n"
                                "Key_AdbHwIdVersion=1.0.0.3\r\n"
                                "Key_ModemInfName=pvmodem.inf\r\n"
                                "Key_SerialInfName=pvser.inf\r\n"
                                "Key_AdbInfName=pvadb.inf\r\n"
                                "\r\n"
                                "[Process_Config]\r\n"
                                "Key_DriverInstallName=Instoria.exe\r\n"
                                "Key_DriverInstallNameAMD64=Instoria64.exe\r\n"
                                "Key_AutorunName=Palvio.exe\r\n";

// The complete profile with one piece of text replaced (the piece must be there).
std::string ProfileWith(const std::string& from, const std::string& to) {
    std::string text = kCompleteProfile;
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

class Profile : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        DeviceProfile = DeviceProfileData();
        m_path = m_dir.File("drvcfg.ini");
    }

    int Read(const std::string& text, const std::string& section = "Section_Driver") {
        WriteWholeFile(m_path, text);
        DeleteLog();
        return ReadDrvCfg(m_path, section);
    }
    // The log's messages after the last "Info:" line of a successful key.
    std::vector<std::string> MessagesAfterInfo() {
        std::vector<std::string> rest;
        for (const std::string& message : LogMessages()) {
            if (message.rfind("Info:", 0) == 0)
                rest.clear();
            else
                rest.push_back(message);
        }
        return rest;
    }

    TempDir m_dir;
    std::string m_path;
    ScopedRegString m_version{kVersionKey, "CurrentVersion", "6.1"};
    ScopedRegString m_lab{kVersionKey, "BuildLabEx", "7601.24214.x86fre.win7sp1_ldr_escrow.180801-1700"};
};

} // namespace

TEST_F(Profile, ValueReaderRefusesMissingArguments) {
    std::string out = "before";
    EXPECT_EQ(0, ReadCfgValue("Section_Driver", "Key_ProductId", 0, out, nullptr));
    EXPECT_TRUE(LogMessages().empty()) << "no path, no log line";
    EXPECT_EQ(0, ReadCfgValue("Section_Driver", "Key_ProductId", 0, out, ""));
    EXPECT_EQ(0, ReadCfgValue(nullptr, "Key_ProductId", 0, out, m_path.c_str()));
    EXPECT_EQ(0, ReadCfgValue("Section_Driver", nullptr, 0, out, m_path.c_str()));
    EXPECT_EQ(std::vector<std::string>(3, "Err: The cfg buffer is null"), LogMessages());
    EXPECT_EQ("before", out);
}

TEST_F(Profile, ValueReaderTellsMissingFromEmptyValues) {
    WriteWholeFile(m_path,
                   "[S]\r\nEmpty=\r\n  Padded  =  value with blanks  \r\nLiteral=DEFAULT_READ_STRING\r\n");
    std::string out;
    EXPECT_EQ(0, ReadCfgValue("S", "Missing", 0, out, m_path.c_str()));
    EXPECT_EQ("DEFAULT_READ_STRING", out);
    EXPECT_EQ(0, ReadCfgValue("S", "Empty", 0, out, m_path.c_str()));
    EXPECT_EQ("", out);
    EXPECT_EQ(1, ReadCfgValue("S", "Empty", 1, out, m_path.c_str()));
    EXPECT_EQ(1, ReadCfgValue("s", "padded", 0, out, m_path.c_str()));
    EXPECT_EQ("value with blanks", out);
    EXPECT_EQ(0, ReadCfgValue("S", "Literal", 1, out, m_path.c_str()));
    EXPECT_EQ(std::vector<std::string>({"Err: Read parameter(Missing) from " + m_path + " Failed",
                                        "Err: The parameter(Empty) data from " + m_path +
                                            " is empty, but its value don't allow be empty",
                                        "Err: Read parameter(Literal) from " + m_path + " Failed"}),
              LogMessages());
}

TEST_F(Profile, ValueReaderCutsValuesAt259Characters) {
    WriteWholeFile(m_path, "[S]\r\nLong=" + std::string(300, 'v') + "\r\n");
    std::string out;
    EXPECT_EQ(1, ReadCfgValue("S", "Long", 0, out, m_path.c_str()));
    EXPECT_EQ(std::string(259, 'v'), out);
}

TEST_F(Profile, CompleteProfileFillsEveryField) {
    g_nEdition = 0;
    ASSERT_EQ(1, Read(kCompleteProfile));
    const DeviceProfileData& p = DeviceProfile;
    EXPECT_EQ(3, p.TotalInterface);
    EXPECT_EQ("usb\\vid_1a2b&pid_0001", p.ProductId);
    EXPECT_EQ("usb\\vid_1a2b&pid_0001&mi_00", p.ModemHwId);
    EXPECT_EQ("2.1.0.8", p.ModemHwIdVersion);
    EXPECT_EQ("usb\\vid_1a2b&pid_0001&mi_01", p.SerialHwId);
    EXPECT_EQ("2.1.0.7", p.SerialHwIdVersion);
    EXPECT_EQ("usbstor\\cdromvirtual_modem", p.UsbStorHwId);
    EXPECT_EQ("usb\\class_08", p.MassCmpId);
    EXPECT_EQ("virtual_modem", p.CDROMSignId);
    EXPECT_EQ("usbstor\\cdrom", p.UsbStorCmpId);
    EXPECT_EQ("usb\\vid_1a2b&pid_0002", p.UDiskId);
    EXPECT_EQ("pvusbser.sys", p.UsbDriverName);
    EXPECT_EQ("pvadb.sys", p.AdbUsbDriverName);
    EXPECT_EQ("Instoria.exe", p.DriverInstallName);
    EXPECT_EQ("Instoria64.exe", p.DriverInstallNameAMD64);
    EXPECT_EQ("Palvio.exe", p.AutorunName);
    EXPECT_EQ("usb\\vid_1a2b&pid_0001&mi_02", p.AdbHwId);
    EXPECT_EQ("1.0.0.3", p.AdbHwIdVersion);
    EXPECT_EQ("pvmodem.inf", p.ModemInfName);
    EXPECT_EQ("pvser.inf", p.SerialInfName);
    EXPECT_EQ("pvadb.inf", p.AdbInfName); // asked for as "Key_AdbInfName ", written without the blank
    EXPECT_EQ(m_path, p.ProfilePath);
    EXPECT_EQ(p.ModemHwId, p.SearchTable[0].HwId);
    EXPECT_EQ(p.SerialHwId, p.SearchTable[1].HwId);
    EXPECT_EQ(0, p.SearchTable[0].bFound);
    EXPECT_EQ(0, p.SearchTable[1].bFound);
    EXPECT_EQ(5, g_nEdition);

    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(21u + 2u, messages.size()); // one line a key, then the edition probe's two
    EXPECT_EQ("Info:The value of config(Section:Section_Driver; Key:Key_TotalInterface) is 3.", messages[0]);
    EXPECT_EQ("Info:The value of config(Section:Process_Config; Key:Key_DriverInstallName) is Instoria.exe.",
              messages[13]);
    EXPECT_EQ("Info:The value of config(Section:Section_Driver; Key:Key_AdbInfName ) is pvadb.inf.",
              messages[20]);
}

TEST_F(Profile, MissingKeyStopsTheReadAndLeavesTheSentinelInItsField) {
    DeviceProfile.SerialHwId = "kept";
    DeviceProfile.ProfilePath = "earlier";
    EXPECT_EQ(0, Read(ProfileWith("Key_ModemHwIdVersion=2.1.0.8\r\n", "")));
    EXPECT_EQ("usb\\vid_1a2b&pid_0001&mi_00", DeviceProfile.ModemHwId); // read before
    EXPECT_EQ("DEFAULT_READ_STRING", DeviceProfile.ModemHwIdVersion);
    EXPECT_EQ("kept", DeviceProfile.SerialHwId); // never reached
    EXPECT_EQ("earlier", DeviceProfile.ProfilePath);
    EXPECT_EQ(std::vector<std::string>(
                  {"Err: Read parameter(Key_ModemHwIdVersion) from " + m_path + " Failed",
                   "Err:Get config(Section:Section_Driver; Key:Key_ModemHwIdVersion) from cfg file fialed"}),
              MessagesAfterInfo());
}

TEST_F(Profile, EmptyValueFailsWithTheEmptyValueLine) {
    EXPECT_EQ(0, Read(ProfileWith("Key_ProductId=usb\\vid_1a2b&pid_0001", "Key_ProductId=")));
    EXPECT_EQ(std::vector<std::string>(
                  {"Err: The parameter(Key_ProductId) data from " + m_path +
                       " is empty, but its value don't allow be empty",
                   "Err:Get config(Section:Section_Driver; Key:Key_ProductId) from cfg file fialed"}),
              MessagesAfterInfo());
}

TEST_F(Profile, ValueWrittenAsTheSentinelCountsAsMissing) {
    EXPECT_EQ(0, Read(ProfileWith("Key_UDiskId=usb\\vid_1a2b&pid_0002", "Key_UDiskId=DEFAULT_READ_STRING")));
    EXPECT_EQ("Err: Read parameter(Key_UDiskId) from " + m_path + " Failed", MessagesAfterInfo().at(0));
}

TEST_F(Profile, InterfaceCountIsTheFirstCharacterAsADigit) {
    EXPECT_EQ(0, Read(ProfileWith("Key_TotalInterface=3", "Key_TotalInterface=0")));
    EXPECT_EQ("Err:Device interface's numbers is 0, error", LogMessages().back());
    EXPECT_EQ(0, Read(ProfileWith("Key_TotalInterface=3", "Key_TotalInterface=x")));
    EXPECT_EQ("Err:Device interface's numbers is 72, error", LogMessages().back());
    EXPECT_EQ(0, Read(ProfileWith("Key_TotalInterface=3", "Key_TotalInterface=-1")));
    EXPECT_EQ("Err:Device interface's numbers is -3, error", LogMessages().back());
    EXPECT_EQ(1, Read(ProfileWith("Key_TotalInterface=3", "Key_TotalInterface=25")));
    EXPECT_EQ(2, DeviceProfile.TotalInterface);
}

TEST_F(Profile, MissingProcessSectionStopsAtTheInstallerName) {
    std::string text = kCompleteProfile;
    text = text.substr(0, text.find("[Process_Config]"));
    EXPECT_EQ(0, Read(text));
    EXPECT_EQ("Err:Get config(Section:Process_Config; Key:Key_DriverInstallName) from cfg file fialed",
              LogMessages().back());
    EXPECT_EQ("pvadb.sys", DeviceProfile.AdbUsbDriverName);
    EXPECT_TRUE(DeviceProfile.AdbHwId.empty());
}

TEST_F(Profile, UnsupportedWindowsStillReadsButKeepsTheEdition) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "6.2");
    g_nEdition = 2;
    EXPECT_EQ(1, Read(kCompleteProfile));
    EXPECT_EQ(2, g_nEdition);
    EXPECT_EQ("Err:Not support current system", LogMessages().back());
    EXPECT_EQ(m_path, DeviceProfile.ProfilePath);
}

TEST_F(Profile, NewerWindowsSectionServesWindows8AndLater) {
    ScopedRegString version(kVersionKey, "CurrentVersion", "6.3");
    const std::string section = "[Newer_Windows]\r\nKey_Folder=Win7\r\nKey_FolderAMD64=Win10-AMD64\r\n";
    g_nEdition = 2;
    EXPECT_EQ(1, Read(kCompleteProfile + section));
    EXPECT_EQ(kEditionNewer32, g_nEdition); // the fixture's build lab is an x86 one
    EXPECT_EQ("Win7", DeviceProfile.NewerWindows.Folder);
    EXPECT_EQ("Win10-AMD64", DeviceProfile.NewerWindows.FolderAMD64);

    // A folder name that would lead out of the package refuses the section: the medium is not served there.
    g_nEdition = 2;
    EXPECT_EQ(1, Read(kCompleteProfile +
                      std::string("[Newer_Windows]\r\nKey_Folder=Win7\r\nKey_FolderAMD64=..\\x\r\n")));
    EXPECT_EQ(2, g_nEdition);
    EXPECT_TRUE(DeviceProfile.NewerWindows.Folder.empty());
    EXPECT_EQ(
        std::vector<std::string>({"ERR: The edition folder name '..\\x' of [Newer_Windows] is not one plain "
                                  "folder name; the section is refused",
                                  "current system version 6.3", "unknow system version 6.3",
                                  "Err:Not support current system"}),
        MessagesAfterInfo());
}

TEST_F(Profile, SixtyFourBitWindows7IsEdition6) {
    ScopedRegString lab(kVersionKey, "BuildLabEx", "7601.24214.amd64fre.win7sp1_ldr_escrow.180801-1700");
    EXPECT_EQ(1, Read(kCompleteProfile));
    EXPECT_EQ(6, g_nEdition);
}

TEST_F(Profile, UpperCaseIdsAreReadAsWritten) {
    EXPECT_EQ(1, Read(ProfileWith("Key_ModemHwId=usb\\vid_1a2b&pid_0001&mi_00",
                                  "Key_ModemHwId=USB\\VID_1A2B&PID_0001&MI_00")));
    EXPECT_EQ("USB\\VID_1A2B&PID_0001&MI_00", DeviceProfile.ModemHwId);
}

TEST_F(Profile, AValueOutsideItsRuleFailsTheReadWithOneLineNamingKeyValueAndSection) {
    struct Case {
        const char* from;
        const char* to;
        const char* line;
    };
    const Case cases[] = {
        {"Key_UsbDriverName=pvusbser.sys", "Key_UsbDriverName=..\\..\\win.ini",
         "ERR: The profile value [Section_Driver] Key_UsbDriverName=..\\..\\win.ini is not one plain file "
         "name ending in .sys; the profile cannot be used"},
        {"Key_ProductId=usb\\vid_1a2b&pid_0001\r", "Key_ProductId=1\r",
         "ERR: The profile value [Section_Driver] Key_ProductId=1 is not the ID of a USB function, "
         "usb\\vid_XXXX&pid_XXXX; the profile cannot be used"},
        // The key asked for with its trailing blank is named without it.
        {"Key_AdbInfName=pvadb.inf", "Key_AdbInfName=pvadb.sys",
         "ERR: The profile value [Section_Driver] Key_AdbInfName=pvadb.sys is not one plain file name ending "
         "in .inf; the profile cannot be used"},
        {"Key_AutorunName=Palvio.exe", "Key_AutorunName=..\\Palvio.exe",
         "ERR: The profile value [Process_Config] Key_AutorunName=..\\Palvio.exe is not one plain file name "
         "ending in .exe; the profile cannot be used"},
    };
    for (const Case& c : cases) {
        DeviceProfile = DeviceProfileData();
        EXPECT_EQ(0, Read(ProfileWith(c.from, c.to))) << c.to;
        EXPECT_EQ(std::vector<std::string>{c.line}, MessagesAfterInfo());
        EXPECT_TRUE(DeviceProfile.ProfilePath.empty());
    }
}

TEST(ProfileValueRules, TakeRealShapesAndRefuseFragmentsAsTheMediumCheckerDoes) {
    // The medium checker's test reads the same table.
    std::vector<TableCase> cases = ReadCaseTable(PROFILE_VALUE_CASES);
    for (const TableCase& c : cases) {
        std::string rule = c.words.substr(0, c.words.find(' '));
        bool taken = c.words == rule + " taken ";
        bool judged;
        if (rule == "product")
            judged = IsUsbFunctionId(c.value);
        else if (rule == "interface")
            judged = IsInterfaceId(c.value);
        else if (rule == "id")
            judged = IsWholeDeviceId(c.value);
        else
            judged = IsPlainFileName(c.value, ("." + rule).c_str());
        EXPECT_EQ(taken, judged) << c.words << c.value;
    }
    EXPECT_GT(cases.size(), 60u);
}

TEST_F(Profile, AnotherSectionDescribesAnEarlierProduct) {
    std::string text = kCompleteProfile;
    std::string older = text.substr(0, text.find("[Process_Config]"));
    older.replace(0, older.find("\r\n"), "[Older_Product]");
    for (size_t at; (at = older.find("pid_0001")) != std::string::npos;)
        older.replace(at, 8, "pid_9999");
    EXPECT_EQ(1, Read(text + older, "Older_Product"));
    EXPECT_EQ("usb\\vid_1a2b&pid_9999", DeviceProfile.ProductId);
    EXPECT_EQ("Instoria.exe", DeviceProfile.DriverInstallName); // always from Process_Config
    EXPECT_EQ("Info:The value of config(Section:Older_Product; Key:Key_TotalInterface) is 3.",
              LogMessages().front());
}

TEST_F(Profile, BrokenFilesFailAtTheFirstKey) {
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xff);
    std::string truncated = std::string(kCompleteProfile).substr(0, 120);
    for (const std::string& text : {binary, std::string(), truncated, std::string("[Section_Driver")}) {
        DeviceProfile = DeviceProfileData();
        EXPECT_EQ(0, Read(text));
        EXPECT_NE(std::string::npos, LogMessages().back().find("from cfg file fialed"));
    }
    EXPECT_EQ(0, ReadDrvCfg(m_dir.File("absent.ini"), "Section_Driver"));
    EXPECT_EQ("Err:Get config(Section:Section_Driver; Key:Key_TotalInterface) from cfg file fialed",
              LogMessages().back());
}

TEST_F(Profile, ProfileThatCannotBeReadFailsAtTheFirstKey) {
    WriteWholeFile(m_path, kCompleteProfile);
    // Held by another program that shares it with nobody.
    ScopedFileHandle locked(
        CreateFileA(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    DeleteLog();
    EXPECT_EQ(0, ReadDrvCfg(m_path, "Section_Driver"));
    EXPECT_EQ("Err:Get config(Section:Section_Driver; Key:Key_TotalInterface) from cfg file fialed",
              LogMessages().back());
    // A folder in place of the file.
    EXPECT_EQ(0, ReadDrvCfg(m_dir.Path(), "Section_Driver"));
}

TEST(ProfileCheck, FirstMissingFieldIsNamed) {
    InitLogFile();
    struct Case {
        std::string DeviceProfileData::*field;
        const char* message;
    };
    const Case cases[] = {
        {&DeviceProfileData::ProductId, "Err:Produce hwid is empty"},
        {&DeviceProfileData::ModemHwId, "Err:Modem hwid is empty"},
        {&DeviceProfileData::SerialHwId, "Err:Serial hwid is empty"},
        {&DeviceProfileData::UsbStorHwId, "Err:Usbstorage id is empty"},
        {&DeviceProfileData::MassCmpId, "Err:Mass CompatibleID is empty"},
        {&DeviceProfileData::UsbStorCmpId, "Err:Usb stroage CompatibleID is empty"},
        {&DeviceProfileData::UDiskId, "Err:UDisk stroage CompatibleID is empty"},
        {&DeviceProfileData::UsbDriverName, "Err:Driver file name is empty"},
        {&DeviceProfileData::DriverInstallName, "Err:Driver file name is empty"},
        {&DeviceProfileData::DriverInstallNameAMD64, "Err:Driver file name is empty"},
    };
    for (const Case& c : cases) {
        DeviceProfile = DeviceProfileData();
        DeviceProfile.TotalInterface = 9;
        for (const Case& other : cases)
            DeviceProfile.*other.field = "x";
        EXPECT_EQ(1, CheckDrvCfg());
        DeviceProfile.*c.field = "";
        DeleteLog();
        EXPECT_EQ(0, CheckDrvCfg()) << c.message;
        EXPECT_EQ(std::vector<std::string>({c.message}), LogMessages());
    }
    DeviceProfile.TotalInterface = 10;
    EXPECT_EQ(0, CheckDrvCfg());
    DeleteLog();
}

namespace {

std::string WithValue(std::string text, const char* section, const char* key, const char* value) {
    EXPECT_TRUE(SetProfileValue(text, section, key, value)) << text;
    return text;
}

// The status file in a temp folder of the test's own (GetTempPathA follows TMP).
class StatusFile : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        char old[MAX_PATH] = {};
        m_hadTmp = GetEnvironmentVariableA("TMP", old, MAX_PATH) > 0;
        m_oldTmp = old;
        SetEnvironmentVariableA("TMP", m_dir.Path().c_str());
        m_path = m_dir.File("QvInstallDriveCfg.ini");
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", m_hadTmp ? m_oldTmp.c_str() : nullptr);
        LoggingTest::TearDown();
    }
    TempDir m_dir;
    std::string m_path, m_oldTmp;
    bool m_hadTmp = false;
};

} // namespace

TEST(StatusFileText, SetsThePresentKeyAndKeepsEveryOtherLineAsItWas) {
    EXPECT_EQ(
        "[drive]\r\nstatus=0\r\nnote=kept\r\n[launcher]\r\nseen=yes\r\n",
        WithValue("[drive]\r\nstatus=1\r\nnote=kept\r\n[launcher]\r\nseen=yes\r\n", "drive", "status", "0"));
    // Sections and keys in any case and with blanks around them; the first section of the name counts.
    EXPECT_EQ(
        "; mine\r\n[ Drive ]\r\nstatus=0\r\n[drive]\r\nstatus=7\r\n",
        WithValue("; mine\r\n[ Drive ]\r\n  STATUS = 1\r\n[drive]\r\nstatus=7\r\n", "drive", "status", "0"));
    // A file of LF line ends keeps them.
    EXPECT_EQ("[drive]\nstatus=0\nnote=a\n",
              WithValue("[drive]\nstatus=1\nnote=a\n", "drive", "status", "0"));
}

TEST(StatusFileText, ANewKeyFollowsItsSectionsLastLineAndANewSectionComesLast) {
    EXPECT_EQ("[drive]\r\nnote=x\r\nstatus=0\r\n\r\n[other]\r\nstatus=5\r\n",
              WithValue("[drive]\r\nnote=x\r\n\r\n[other]\r\nstatus=5\r\n", "drive", "status", "0"));
    EXPECT_EQ("[other]\r\nstatus=5\r\n[drive]\r\nstatus=0\r\n",
              WithValue("[other]\r\nstatus=5", "drive", "status", "0"));
    EXPECT_EQ("[drive]\r\nstatus=0\r\n", WithValue("", "drive", "status", "0"));
    EXPECT_EQ("[drive]\r\nstatus=0\r\n", WithValue("[drive]", "drive", "status", "0"));
}

TEST(StatusFileText, TextThatWindowsReadsAsUtf16IsNotChanged) {
    std::string text("\xFF\xFE[\0d\0]\0", 8);
    EXPECT_FALSE(SetProfileValue(text, "drive", "status", "0"));
    EXPECT_EQ(8u, text.size());
}

TEST_F(StatusFile, IsChangedInPlaceAndReadByTheProfileFunctions) {
    WriteWholeFile(m_path, "[drive]\r\nstatus=1\r\nnote=kept with a longer line than the new text\r\n");
    EXPECT_EQ(1, WriteInstallStatus(0));
    EXPECT_EQ(1, WriteRunResult(0, "ports came"));
    EXPECT_EQ(0, ReadInstallStatus());
    std::string text = ReadWholeFile(m_path);
    EXPECT_EQ(0u, text.find("[drive]\r\nstatus=0\r\nnote=kept with a longer line than the new text\r\n"
                            "[result]\r\ncode=0\r\nstep=ports came\r\ntime="))
        << text;
    EXPECT_EQ(1, WriteInstallStatus(1));
    EXPECT_EQ(1, ReadInstallStatus());
}

// Another program of the user puts a second name of a file it may not change in the status file's place,
// for the elevated installer to write into.
TEST_F(StatusFile, APlantedSecondNameIsRefusedAndLeftAsItWas) {
    TempDir other;
    std::string victim = other.File("system.ini");
    WriteWholeFile(victim, "[drivers]\r\nwave=mmdrv.dll\r\n");
    ASSERT_TRUE(CreateHardLinkA(m_path.c_str(), victim.c_str(), nullptr)) << GetLastError();
    EXPECT_EQ(0, WriteInstallStatus(0));
    EXPECT_EQ(0, WriteRunResult(1, "status mark"));
    EXPECT_EQ("[drivers]\r\nwave=mmdrv.dll\r\n", ReadWholeFile(victim));
    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("ERR: The install status file " + m_path +
                  " is refused: the file has a second name; it is not written",
              messages[0]);
    DeleteFileA(m_path.c_str());
}
