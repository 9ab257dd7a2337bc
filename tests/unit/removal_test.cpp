// Driver removal on a simulated PC: device nodes made with the simulated PC, OEM copies in the INF store,
// and the sample device profile loaded as the installer loads it. This program runs on the fast clock: the
// removal loop's pauses cost a twentieth.
#include "installer/removal.h"

#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/windows_own_files.h"
#include "support.h"
#include "tests/sim/simpc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

const char kCdromInstance[] = "USBSTOR\\CDROM&VEN_PALVIO&PROD_VIRTUAL_CD-ROM&REV_2.31\\7&PALVIO&0";
const char kStorageInstance[] = "USB\\VID_2F5E&PID_7A01\\PALVIO0001";

std::string InfFolder() {
    char windows[kPathRoom];
    EXPECT_TRUE(GetWindowsFolder(windows));
    return std::string(windows) + "\\inf\\";
}
bool Has(const std::vector<std::string>& messages, const std::string& text) {
    return std::find(messages.begin(), messages.end(), text) != messages.end();
}

void Add(const char* instance, std::vector<std::string> hardware, std::vector<std::string> compatible,
         const char* className = "USB") {
    sim::DeviceNode node;
    node.instanceId = instance;
    node.hardwareIds = std::move(hardware);
    node.compatibleIds = std::move(compatible);
    node.className = className;
    sim::Result added = sim::AddDevice(node);
    ASSERT_TRUE(added) << added.Message();
}
bool Present(const char* instance) {
    std::vector<sim::DeviceNode> nodes;
    EXPECT_TRUE(sim::ListDevices(&nodes));
    for (const sim::DeviceNode& node : nodes) {
        if (sim::EqualsIgnoreCase(node.instanceId.c_str(), instance))
            return true;
    }
    return false;
}

// Windows' uninstall of an OEM copy as the tests play it; each call's name and flags are recorded.
std::vector<std::string> g_uninstalled;
BOOL WINAPI FailingUninstall(const char* name, DWORD flags, void*) {
    g_uninstalled.push_back(std::string(name) + " " + std::to_string(flags));
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
// As Windows XP does: the .inf goes with its .PNF.
BOOL WINAPI WholeUninstall(const char* name, DWORD flags, void*) {
    g_uninstalled.push_back(std::string(name) + " " + std::to_string(flags));
    std::string inf = InfFolder() + name;
    return DeleteFileA(inf.c_str()) && DeleteFileA((inf.substr(0, inf.size() - 3) + "PNF").c_str());
}

// The sample device's profile loaded; the device's nodes and OEM copies are removed again at the end.
class ProductOnThePc : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        ASSERT_EQ(1, ReadDrvCfg(WindowsPath(SAMPLE_PROFILE), "Section_Driver"));
        // Every test asks Windows' INFs anew (a run reads them once).
        RunWindowsOwnFiles() = WindowsOwnFiles(nullptr, InfFolder().substr(0, InfFolder().size() - 5));
        DeleteLog();
    }
    void TearDown() override {
        for (const char* id : {"usb\\vid_2f5e&pid_7a01", "usbstor\\cdrompalvio__virtual_cd-rom___2.31"})
            sim::RemoveDevicesWithHardwareId(id, nullptr);
        for (const std::string& file : m_placed)
            ForceDeleteFile(file.c_str());
        LoggingTest::TearDown();
    }
    // Places an OEM copy with its .PNF; answers the .inf path.
    std::string PlaceInf(const std::string& content) {
        int number = -1;
        sim::Result placed = sim::PlaceOemInf(content, -1, nullptr, &number);
        EXPECT_TRUE(placed) << placed.Message();
        std::string inf = InfFolder() + "oem" + std::to_string(number) + ".inf";
        m_placed.push_back(inf);
        m_placed.push_back(PnfOf(inf));
        return inf;
    }
    static std::string PnfOf(const std::string& inf) { return inf.substr(0, inf.size() - 3) + "PNF"; }
    // An OEM copy's path and its .Pnf's as the removal logs them.
    static std::string LoggedPath(const std::string& name) {
        return InfFolder().substr(0, InfFolder().size() - 4) + "Inf\\" + name;
    }
    static std::string LoggedPnf(const std::string& inf) { return inf.substr(0, inf.size() - 3) + "Pnf"; }

    std::vector<std::string> m_placed;
};

} // namespace

TEST(RemovalList, TokensBetweenBlanksAndCommas) {
    const std::vector<std::string> both = {"1001", "1003"};
    EXPECT_EQ(both, SplitPidList("1001, 1003"));
    EXPECT_EQ(both, SplitPidList("1001,,1003"));
    EXPECT_EQ(both, SplitPidList("1001 1003"));
    EXPECT_EQ(both, SplitPidList(" ,1001 , ,1003, "));
    EXPECT_TRUE(SplitPidList("").empty());
    EXPECT_TRUE(SplitPidList(" , ,").empty());

    std::string many, longToken(5000, 'p');
    for (int i = 0; i < 1000; ++i)
        many += std::to_string(i) + (i % 2 ? "," : " ");
    std::vector<std::string> tokens = SplitPidList((many + longToken).c_str());
    ASSERT_EQ(1001u, tokens.size());
    EXPECT_EQ("999", tokens[999]);
    EXPECT_EQ(longToken, tokens[1000]);
}

TEST(OemFileDecision, AFileGoneOnceWindowsWasAskedIsRemovedAnyOtherIsDeleted) {
    for (OemUninstall asked : {OemUninstall::kDone, OemUninstall::kFailed}) {
        EXPECT_EQ(OemFileStep::kAlreadyGone, DecideOemFileStep(asked, true, false));
        EXPECT_EQ(OemFileStep::kDelete, DecideOemFileStep(asked, true, true)); // left by Windows (Wine: .PNF)
        EXPECT_EQ(OemFileStep::kDelete, DecideOemFileStep(asked, false, false)); // never there: a failure
    }
    EXPECT_EQ(OemFileStep::kDelete, DecideOemFileStep(OemUninstall::kNotAsked, true, true));
    EXPECT_EQ(OemFileStep::kDelete, DecideOemFileStep(OemUninstall::kNotAsked, true, false));
}

TEST(LeftoversStep, NamesWhatFitsAndCountsTheRest) {
    char step[64];
    EXPECT_FALSE(ComposeLeftoversStep({}, step, sizeof step));
    EXPECT_STREQ("", step);
    ASSERT_TRUE(ComposeLeftoversStep({"C:\\w\\Inf\\oem8.inf", "C:\\w\\a.sys"}, step, sizeof step));
    EXPECT_STREQ("removal left C:\\w\\Inf\\oem8.inf, C:\\w\\a.sys", step);
    // Only whole names, and always the count of the others.
    const std::vector<std::string> many = {"C:\\w\\Inf\\oem8.inf", "C:\\w\\Inf\\oem9.inf", "C:\\w\\b.sys",
                                           "x"};
    ASSERT_TRUE(ComposeLeftoversStep(many, step, sizeof step));
    EXPECT_STREQ("removal left C:\\w\\Inf\\oem8.inf, C:\\w\\Inf\\oem9.inf and 2 more", step);
    ASSERT_TRUE(ComposeLeftoversStep({std::string(100, 'p'), "x"}, step, sizeof step));
    EXPECT_STREQ("removal left 2 things", step);
}

TEST(RemovalStepDecision, AnUnreadableDeviceListIsNotAGoneDevice) {
    EXPECT_EQ(RemovalStep::kLookAgain, DecideRemovalStep(0, 1));
    EXPECT_EQ(RemovalStep::kGone, DecideRemovalStep(1, 1));
    EXPECT_EQ(RemovalStep::kRemove, DecideRemovalStep(1, 0));
}

TEST_F(ProductOnThePc, InfNamingOnlyTheProductGoesOnlyByItsHardwareId) {
    std::string interface1 = PlaceInf("[Models]\r\n%S%=Ser, USB\\VID_2F5E&PID_7A01&MI_01\r\n");
    std::string bare = PlaceInf("[Models]\r\n%C%=Cmp, USB\\VID_2F5E&PID_7A01\r\n");

    EXPECT_TRUE(RemoveOemInfFiles());
    EXPECT_FALSE(Exists(interface1));
    EXPECT_FALSE(Exists(PnfOf(interface1)));
    EXPECT_TRUE(Exists(bare));
    EXPECT_TRUE(Has(LogMessages(), "File_info: " + LoggedPath(interface1.substr(InfFolder().size())) +
                                       "; USB_info:usb\\vid_2f5e&pid_7a01&mi_01. Match!"));

    // Through Wine's own SetupUninstallOEMInfA, which removes the .inf and leaves the .PNF to the plain
    // deletion; no match line of its own.
    DeleteLog();
    EXPECT_TRUE(RemoveOemInfByHwId("usb\\vid_2f5e&pid_7a01"));
    EXPECT_FALSE(Exists(bare));
    EXPECT_FALSE(Exists(PnfOf(bare)));
    std::string name = bare.substr(InfFolder().size());
    std::string logged = LoggedPath(name);
    EXPECT_EQ((std::vector<std::string>{"INFO: Windows removed the driver package " + name + ".",
                                        "INFO: Remove inf file suc, file: " + logged + ".",
                                        "INFO: Remove pnf file suc, file: " + LoggedPnf(logged) + ".",
                                        "Remove driver file, OK."}),
              LogMessages());
}

TEST_F(ProductOnThePc, ACopyThatCannotBeReadOrAFileThatStaysIsLeftOverAMissingOneIsNot) {
    std::string unreadable = PlaceInf("[Models]\r\n%S%=Ser, USB\\VID_2F5E&PID_7A01&MI_01\r\n");
    std::string removed = PlaceInf("[Models]\r\n%M%=Mdm, USB\\VID_2F5E&PID_7A01&MI_00\r\n");
    char windows[kPathRoom];
    ASSERT_TRUE(GetWindowsFolder(windows));
    std::string driver = std::string(windows) + "\\system32\\drivers\\" + DeviceProfile.UsbDriverName;
    WriteWholeFile(driver, "driver");
    m_placed.push_back(driver);
    ForgetRemovalLeftovers();
    {
        // Held by programs that share them with nobody: the copy cannot be read, the driver not deleted.
        ScopedFileHandle heldInf(
            CreateFileA(unreadable.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ScopedFileHandle heldDriver(
            CreateFileA(driver.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(heldInf && heldDriver);
        EXPECT_TRUE(RemoveOemInfFiles());
        EXPECT_TRUE(RemoveSysFiles());
    }
    EXPECT_TRUE(Exists(unreadable));
    EXPECT_TRUE(Exists(PnfOf(unreadable)));
    EXPECT_FALSE(Exists(removed));
    EXPECT_TRUE(Exists(driver));
    std::string logged = LoggedPath(unreadable.substr(InfFolder().size()));
    // The ADB driver was never there: its failed deletion leaves nothing behind.
    EXPECT_EQ((std::vector<std::string>{logged + " (unreadable)", driver}), RemovalLeftovers());
    EXPECT_TRUE(
        Has(LogMessages(), "ERROR: Cannot read " + logged +
                               "; it may be the product's, so it stays and the removal is not known to "
                               "be whole"));
}

// Windows' protection as a stand-in: it protects the sample's serial driver.
BOOL WINAPI ProtectsTheSerialDriver(HANDLE, LPCWSTR path) {
    size_t length = wcslen(path);
    return length >= 13 && _wcsicmp(path + length - 13, L"\\qvusbser.sys") == 0;
}

TEST_F(ProductOnThePc, WindowsOwnDriversStayAndAreNoLeftover) {
    std::string windows = InfFolder().substr(0, InfFolder().size() - 5);
    std::string drivers = windows + "\\system32\\drivers\\";
    for (const char* file :
         {"inf\\mdmcpq.inf", "inf\\usbser.inf", "inf\\winusb.inf", "inf\\wudfrd.inf",
          "system32\\drivers\\usbser.sys", "system32\\drivers\\winusb.sys", "system32\\drivers\\WUDFRd.sys"})
        m_placed.push_back(windows + "\\" + file);
    sim::Result placed = sim::PlaceWindowsOwnDrivers("10");
    ASSERT_TRUE(placed) << placed.Message();
    DeviceProfile.UsbDriverName = "usbser.sys";
    DeviceProfile.AdbUsbDriverName = "winusb.sys";
    ForgetRemovalLeftovers();
    EXPECT_TRUE(RemoveSysFiles());
    for (const char* name : {"usbser.sys", "winusb.sys"}) {
        EXPECT_EQ(std::string("Windows' own ") + name, ReadWholeFile(drivers + name));
        EXPECT_TRUE(GetFileAttributesA((drivers + name).c_str()) & FILE_ATTRIBUTE_READONLY) << name;
    }
    EXPECT_TRUE(RemovalLeftovers().empty());
    EXPECT_EQ((std::vector<std::string>{
                  "INFO: " + drivers +
                      "usbser.sys is Windows' own file (Windows' INF mdmcpq.inf names it); it stays",
                  "INFO: " + drivers +
                      "winusb.sys is Windows' own file (Windows' INF winusb.inf names it); it stays"}),
              LogMessages());

    // A file Windows protects stays whatever its INFs say; the profile's other driver, the product's own,
    // goes.
    ReadDrvCfg(WindowsPath(SAMPLE_PROFILE), "Section_Driver");
    RunWindowsOwnFiles() = WindowsOwnFiles(ProtectsTheSerialDriver, windows);
    for (const std::string& name : {DeviceProfile.UsbDriverName, DeviceProfile.AdbUsbDriverName}) {
        WriteWholeFile(drivers + name, "driver");
        m_placed.push_back(drivers + name);
    }
    DeleteLog();
    EXPECT_TRUE(RemoveSysFiles());
    EXPECT_TRUE(Exists(drivers + "qvusbser.sys"));
    EXPECT_FALSE(Exists(drivers + "qvusbapp.sys"));
    EXPECT_TRUE(RemovalLeftovers().empty());
    EXPECT_TRUE(Has(LogMessages(), "INFO: " + drivers +
                                       "qvusbser.sys is Windows' own file (Windows protects it); it stays"));
}

TEST_F(ProductOnThePc, ADriverNameThatLeadsOutOfTheDriverFolderDeletesNothing) {
    char windows[kPathRoom];
    ASSERT_TRUE(GetWindowsFolder(windows));
    std::string outside = std::string(windows) + "\\pv_removal_guard.sys";
    WriteWholeFile(outside, "not a driver");
    m_placed.push_back(outside);
    DeviceProfile.AdbUsbDriverName = "..\\..\\pv_removal_guard.sys";
    EXPECT_TRUE(RemoveSysFiles());
    EXPECT_TRUE(Exists(outside));
    EXPECT_TRUE(Has(LogMessages(), "ERR: The driver file name ..\\..\\pv_removal_guard.sys is not one plain "
                                   "file name of the driver folder; nothing is deleted by it"));
}

TEST_F(ProductOnThePc, OemCopyGoesThroughWindowsOrAsPlainFiles) {
    struct Road {
        OemInfUninstaller uninstall;
        const char* windowsLine; // with the copy's name
    };
    const Road roads[] = {
        {WholeUninstall, "INFO: Windows removed the driver package %s."},
        {FailingUninstall, "ERROR: SetupUninstallOEMInf %s fail.LastError:5, deleting its files"},
        {nullptr, nullptr}, // Windows 2000
    };
    char windows[kPathRoom];
    ASSERT_TRUE(GetWindowsFolder(windows));
    for (const Road& road : roads) {
        std::string inf = PlaceInf("[Models]\r\n%S%=Ser, USB\\VID_2F5E&PID_7A01&MI_01\r\n");
        std::string name = inf.substr(InfFolder().size());
        std::string path = LoggedPath(name);
        g_uninstalled.clear();
        DeleteLog();
        RemoveOemInfCopy(windows, name.c_str(), road.uninstall);
        EXPECT_FALSE(Exists(inf)) << name;
        EXPECT_FALSE(Exists(PnfOf(inf))) << name;
        std::vector<std::string> expected = {"INFO: Remove inf file suc, file: " + path + ".",
                                             "INFO: Remove pnf file suc, file: " + LoggedPnf(path) + "."};
        if (road.windowsLine) {
            char line[300];
            snprintf(line, sizeof line, road.windowsLine, name.c_str());
            expected.insert(expected.begin(), line);
            // Windows takes the copy's file name, with the force flag.
            EXPECT_EQ(std::vector<std::string>{name + " 1"}, g_uninstalled);
        }
        EXPECT_EQ(expected, LogMessages());
    }
}

TEST_F(ProductOnThePc, NodeWhoseIdListIsNotAWholeListIsPassedOver) {
    Add(kStorageInstance, {"USB\\VID_2F5E&PID_7A01"}, {"USB\\Class_08&SubClass_06&Prot_50"});
    // The ID after an empty string (where a list ends), then as bytes that are not a list at all.
    std::string key = std::string("SYSTEM\\CurrentControlSet\\Enum\\") + kStorageInstance;
    ScopedRegKey node;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, node.Receive()));
    const std::string afterEnd("\0USB\\VID_2F5E&PID_7A01\0\0", 25);
    const std::string notAList("USB\\VID_2F5E&PID_7A01\0\0", 24);
    for (const auto& [type, data] :
         {std::make_pair(DWORD(REG_MULTI_SZ), afterEnd), std::make_pair(DWORD(REG_BINARY), notAList)}) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(node.Get(), "HardwareID", 0, type,
                                                reinterpret_cast<const BYTE*>(data.data()), data.size()));
        EXPECT_EQ(0, RemoveDevicesByHwId("usb\\vid_2f5e&pid_7a01", nullptr, kAllDevices, nullptr));
        EXPECT_TRUE(Present(kStorageInstance));
    }
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(ProductOnThePc, CdromAndStorageAlreadyGoneCostNoAttempt) {
    EXPECT_EQ(1, RemoveCdromAndMassStorage());
    std::vector<std::string> messages = LogMessages();
    EXPECT_TRUE(
        Has(messages, "INF: Del CD ROM Device ID(usbstor\\cdrompalvio__virtual_cd-rom___2.31), SUC..."));
    EXPECT_TRUE(Has(messages, "INF: Del TESSIK Mass Storage USB DeviceID(usb\\vid_2f5e&pid_7a01), SUC..."));
    for (const std::string& message : messages)
        EXPECT_EQ(std::string::npos, message.find("Step 1")) << message;
}

TEST_F(ProductOnThePc, CdromThenStorageAreRemovedAndOtherNodesStay) {
    Add(kCdromInstance,
        {"USBSTOR\\CdRomPalvio__Virtual_CD-ROM___2.31", "USBSTOR\\CdRomPalvio__Virtual_CD-ROM___"},
        {"USBSTOR\\CdRom", "GenCdRom"}, "CDROM");
    Add(kStorageInstance, {"USB\\VID_2F5E&PID_7A01&REV_0231", "USB\\VID_2F5E&PID_7A01"},
        {"USB\\Class_08&SubClass_06&Prot_50", "USB\\Class_08"});
    const char other[] = "USB\\VID_1111&PID_2222\\OTHER";
    Add(other, {"USB\\VID_1111&PID_2222"}, {"USB\\Class_08&SubClass_06&Prot_50"});

    EXPECT_EQ(1, RemoveCdromAndMassStorage());
    EXPECT_FALSE(Present(kCdromInstance));
    EXPECT_FALSE(Present(kStorageInstance));
    EXPECT_TRUE(Present(other));
    sim::RemoveDevice(other);
    std::vector<std::string> messages = LogMessages();
    EXPECT_TRUE(Has(messages, "SetupDiCallClassInstaller DIF_REMOVE SUC, Device ID: "
                              "usbstor\\cdrompalvio__virtual_cd-rom___2.31..."));
    EXPECT_TRUE(
        Has(messages, "INF: Del CD ROM Device ID(usbstor\\cdrompalvio__virtual_cd-rom___2.31), Step 1..."));
    EXPECT_TRUE(
        Has(messages, "SetupDiCallClassInstaller DIF_REMOVE SUC, Device ID: usb\\vid_2f5e&pid_7a01..."));
    EXPECT_TRUE(Has(messages, "INF: Del TESSIK Mass Storage USB DeviceID(usb\\vid_2f5e&pid_7a01), SUC..."));
}

// Measured, not asserted tightly: the time one scan of a crowded INF store takes.
TEST_F(ProductOnThePc, ScanOfTwoThousandInfCopiesCostsLittle) {
    const int kCopies = 2000;
    std::string filler(20 * 1024, 'x');
    for (size_t at = 64; at < filler.size(); at += 64)
        filler[at] = '\n';
    std::string folder = InfFolder();
    auto place = [&](int first, int count, const std::string& naming) {
        for (int i = first; i < first + count; ++i) {
            std::string inf = folder + "oem" + std::to_string(1000 + i) + ".inf";
            WriteWholeFile(inf, naming + filler);
            m_placed.push_back(inf);
        }
    };
    place(0, kCopies, "[Models]\r\n%O%=Oth, USB\\VID_1111&PID_2222&MI_00\r\n");

    DWORD started = GetTickCount();
    EXPECT_TRUE(RemoveOemInfFiles());
    DWORD none = GetTickCount() - started;

    place(kCopies, 10, "[Models]\r\n%M%=Mdm, USB\\VID_2F5E&PID_7A01&MI_00\r\n");
    started = GetTickCount();
    EXPECT_TRUE(RemoveOemInfFiles());
    DWORD ten = GetTickCount() - started;

    int left = 0;
    for (const std::string& file : m_placed)
        left += Exists(file);
    EXPECT_EQ(kCopies, left);
    printf("RemoveOemInfFiles over %d INF copies of 20 KB: %lu ms with none matching, %lu ms with 10 more "
           "matching\n",
           kCopies, static_cast<unsigned long>(none), static_cast<unsigned long>(ten));
    EXPECT_LT(none, 60000u);
}
