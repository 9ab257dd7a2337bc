// Driver placement on the Windows of the prefix the test runs in: the edition folder of the package beside
// the program, the INF store, system32 and its drivers folder.
#include "installer/placement.h"

#include "common/files.h"
#include "common/handles.h"
#include "common/host.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/windows_own_files.h"
#include "installer/resident.h"
#include "installer/run_outcome.h"
#include "support.h"
#include "tests/sim/simpc.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

const char kModemId[] = "USB\\VID_2F5E&PID_7A01&MI_00";
const char kInf[] = "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n"
                    "ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\nProvider=Palvio\r\n"
                    "DriverVer=06/15/2011,2.1.0.8\r\n[Manufacturer]\r\nPalvio=Models\r\n[Models]\r\n"
                    "Modem=Install,USB\\VID_2F5E&PID_7A01&MI_00\r\n[Install]\r\n";

std::string WindowsFolder() {
    char windows[kPathRoom];
    EXPECT_TRUE(GetWindowsFolder(windows));
    return windows;
}
std::string SystemFile(const std::string& relative) {
    return WindowsFolder() + "\\system32\\" + relative;
}
// The registered copies in the INF store that name the modem (Windows names them oemN.inf, Wine keeps the
// source's name).
std::vector<std::string> StoreCopiesNamingTheModem() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    std::string inf = WindowsFolder() + "\\inf\\";
    HANDLE search = FindFirstFileA((inf + "*.inf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (FileContainsText((inf + found.cFileName).c_str(), "usb\\vid_2f5e&pid_7a01&mi_00", ""))
            names.push_back(inf + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The names in a folder, sorted.
std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Whether the messages hold these, in this order.
bool InOrder(const std::vector<std::string>& messages, const std::vector<std::string>& wanted) {
    auto at = messages.begin();
    for (const std::string& text : wanted) {
        at = std::find(at, messages.end(), text);
        if (at == messages.end())
            return false;
    }
    return true;
}

// A package edition folder of the test's own, and the files placement may leave in system32; the placed
// files are removed again at the end.
class DriverPlacement : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        // Every test asks Windows' INFs anew (a run reads them once).
        RunWindowsOwnFiles() = WindowsOwnFiles(nullptr, WindowsFolder());
    }
    void TearDown() override {
        for (const char* file :
             {"drivers\\qvusbser.sys", "drivers\\qvusbapp.sys", "drivers\\DRIVER.SYS", "qvcoinst.dll",
              "drivers\\usbser.sys", "drivers\\winusb.sys", "drivers\\WUDFRd.sys"}) {
            ForceDeleteFile(SystemFile(file).c_str());
        }
        for (const char* inf : {"mdmcpq.inf", "usbser.inf", "winusb.inf", "wudfrd.inf"})
            ForceDeleteFile((WindowsFolder() + "\\inf\\" + inf).c_str());
        DeviceProfile = DeviceProfileData();
        RemoveDirectoryA(SystemFile("drivers\\qvusbapp.sys").c_str());
        for (const std::string& copy : StoreCopiesNamingTheModem()) {
            ForceDeleteFile(copy.c_str());
            ForceDeleteFile((copy.substr(0, copy.size() - 3) + "pnf").c_str());
        }
        LoggingTest::TearDown();
    }
    void Put(const char* name, const std::string& content) { WriteWholeFile(m_package.File(name), content); }
    std::string Folder() const {
        std::string path = m_package.Path();
        return path.substr(0, path.size() - 1);
    }
    std::string Source(const char* name) const { return m_package.File(name); }

    TempDir m_package;
};

// The package's edition folders beside the test program, as beside the staged installer.
class DriverFolder : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        for (const char* name : {"Win7", "Win7-AMD64"})
            CreateDirectoryA((TestDir() + name).c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* name : {"Win7", "Win7-AMD64"})
            RemoveDirectoryA((TestDir() + name).c_str());
        g_nEdition = kEditionUnknown;
        LoggingTest::TearDown();
    }
    // The edition of the simulated Windows, as the profile read fixes it.
    static void RunOn(const char* version, const char* buildLab) {
        sim::Result set = sim::SetEdition(version, buildLab);
        ASSERT_TRUE(set) << set.Message();
        ASSERT_TRUE(GetSystemVersion(&g_nEdition));
        DeleteLog();
    }
};

// Copies that fail as Windows can: each call answers the next of the scripted errors (0: success).
std::vector<DWORD> g_copyAnswers;
std::vector<std::string> g_copyCalls;
BOOL WINAPI ScriptedCopy(PCSTR source, PCSTR, DWORD mediaType, DWORD style, PSTR destination, DWORD room,
                         PDWORD, PSTR*) {
    EXPECT_EQ(static_cast<DWORD>(SPOST_PATH), mediaType);
    EXPECT_GE(room, 250u);
    g_copyCalls.push_back(std::string(PathFindFileNameA(source)) + (style == 0x8002 ? " replace-only" : ""));
    DWORD error = 0;
    if (!g_copyAnswers.empty()) {
        error = g_copyAnswers.front();
        g_copyAnswers.erase(g_copyAnswers.begin());
    }
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    CopyBounded(destination, room, "C:\\windows\\inf\\oem3.inf");
    return TRUE;
}

class InfRegistration : public DriverPlacement {
protected:
    void SetUp() override {
        DriverPlacement::SetUp();
        g_copyAnswers.clear();
        g_copyCalls.clear();
    }
};

} // namespace

TEST_F(DriverFolder, IsWin7OnXpAndWin7Amd64OnSeven64) {
    char folder[kPathRoom];
    RunOn("5.1", nullptr);
    EXPECT_EQ(0, GetDriverSrcDir(folder));
    EXPECT_EQ(TestDir() + "Win7", folder);
    EXPECT_EQ(std::vector<std::string>({"dir is " + TestDir() + "."}), LogMessages());
    RunOn("6.1", "7601.17514.amd64fre.win7sp1_rtm.101119-1850");
    EXPECT_EQ(0, GetDriverSrcDir(folder));
    EXPECT_EQ(TestDir() + "Win7-AMD64", folder);
}

TEST_F(DriverFolder, MissingFolderOrUnknownEditionIsNoFolder) {
    char folder[kPathRoom];
    RunOn("6.0", "6002.18005.x86fre.lh_sp2rtm.090410-1830"); // Vista 32-bit: the package has no Vista here
    EXPECT_EQ(kResultNoDriverFolder, GetDriverSrcDir(folder));
    g_nEdition = 7;
    EXPECT_EQ(kResultNoDriverFolder, GetDriverSrcDir(folder));
    EXPECT_EQ(std::vector<std::string>({"dir is " + TestDir() + ".", "ERROR: dir not find // EMPTY DIR.",
                                        "dir is " + TestDir() + "."}),
              LogMessages());
}

TEST_F(DriverPlacement, PlacesInfThenDllThenSysAndReplacesAReadOnlyDriver) {
    Put("qvmdm.inf", kInf);
    Put("qvcoinst.dll", "new co-installer");
    Put("qvusbser.sys", "new serial driver");
    Put("DRIVER.SYS", "not a .sys by its letters");
    sim::Result old = sim::PlaceSystemFile("drivers\\qvusbser.sys", "old serial driver");
    ASSERT_TRUE(old) << old.Message();
    SetFileAttributesA(SystemFile("drivers\\qvusbser.sys").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(0, InstallDriverFiles(Folder().c_str()));
    EXPECT_EQ(1u, StoreCopiesNamingTheModem().size());
    EXPECT_EQ("new co-installer", ReadWholeFile(SystemFile("qvcoinst.dll")));
    EXPECT_EQ("new serial driver", ReadWholeFile(SystemFile("drivers\\qvusbser.sys")));
    EXPECT_FALSE(Exists(SystemFile("drivers\\DRIVER.SYS")));
    std::string shown = WindowsFolder() + "\\System32\\drivers\\";
    EXPECT_TRUE(InOrder(LogMessages(),
                        {"Info: change_resident_register() is ok.",
                         "INFO: Copy inf file OK, File: " + Source("qvmdm.inf") + "; To: " + shown + ".",
                         "INFO: Copy dll file OK.", "INFO: Copy sys file OK."}));

    // Placed again: the INF already in the store is registered again, not refused.
    DeleteLog();
    EXPECT_EQ(0, InstallDriverFiles(Folder().c_str()));
    EXPECT_EQ(1u, StoreCopiesNamingTheModem().size());
    EXPECT_TRUE(InOrder(LogMessages(),
                        {"INFO: Copy inf file OK, File: " + Source("qvmdm.inf") + "; To: " + shown + "."}));
}

TEST_F(DriverPlacement, PackageWithoutDllStillPlacesItsDrivers) {
    Put("qvmdm.inf", kInf);
    Put("qvusbser.sys", "serial driver");
    EXPECT_EQ(0, InstallDriverFiles(Folder().c_str()));
    EXPECT_EQ("serial driver", ReadWholeFile(SystemFile("drivers\\qvusbser.sys")));
    EXPECT_TRUE(InOrder(LogMessages(), {"Info: Can`t find .dll file.", "INFO: Copy sys file OK."}));
}

TEST_F(DriverPlacement, FailureOfAnEarlierKindLeavesTheLaterKindsUntouched) {
    // No .inf: nothing else is placed.
    Put("qvcoinst.dll", "co-installer");
    Put("qvusbser.sys", "serial driver");
    EXPECT_EQ(kResultWriteFailed, InstallDriverFiles(Folder().c_str()));
    EXPECT_FALSE(Exists(SystemFile("qvcoinst.dll")));
    EXPECT_FALSE(Exists(SystemFile("drivers\\qvusbser.sys")));
    EXPECT_TRUE(
        InOrder(LogMessages(), {"ERROR: FindFirstFile (" + Folder() + "\\*.inf) fail // CopyInfFile."}));

    // A driver that cannot be written (a folder holds its name) ends the placement as a failure.
    DeleteLog();
    Put("qvmdm.inf", kInf);
    DeleteFileA(m_package.File("qvusbser.sys").c_str());
    Put("qvusbapp.sys", "adb driver");
    ASSERT_TRUE(CreateDirectoryA(SystemFile("drivers\\qvusbapp.sys").c_str(), nullptr));
    EXPECT_EQ(kResultWriteFailed, InstallDriverFiles(Folder().c_str()));
    EXPECT_TRUE(InOrder(LogMessages(), {"INFO: Copy dll file OK.", "INFO: Copy sys file error."}));
}

// Another program holds the package's driver open and shares it with nobody: the copy cannot read it.
TEST_F(DriverPlacement, ACopyThatFailsLeavesTheOldDriverAsItWasAndNothingBehind) {
    Put("qvusbser.sys", "new serial driver");
    sim::Result old = sim::PlaceSystemFile("drivers\\qvusbser.sys", "old serial driver");
    ASSERT_TRUE(old) << old.Message();
    std::string driver = SystemFile("drivers\\qvusbser.sys");
    SetFileAttributesA(driver.c_str(), FILE_ATTRIBUTE_READONLY);
    std::vector<std::string> before = FileNames(SystemFile("drivers"));
    ScopedFileHandle holder(
        CreateFileA(Source("qvusbser.sys").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_EQ(kResultWriteFailed, CopySysFile(Folder().c_str()));
    holder.Reset();
    EXPECT_EQ("old serial driver", ReadWholeFile(driver));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA(driver.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(before, FileNames(SystemFile("drivers")));
    EXPECT_EQ(std::vector<std::string>({"INFO: Copy sys file error."}), LogMessages());
}

TEST_F(DriverPlacement, FolderWithoutSysFilesIsAFailureUnlessItsInfsPutThemInASubfolderWhereTheyAre) {
    DeviceProfile.UsbDriverName = "qvusbser.sys";
    DeviceProfile.AdbUsbDriverName = "qvusbapp.sys";
    auto unserved = [](const char* name) {
        return std::string("ERROR: Nothing serves the driver file ") + name +
               ": the edition folder holds none, no subfolder holds it where the folder's INFs put it, and "
               "Windows has none of its own";
    };
    Put("qvmdm.inf", kInf);
    EXPECT_EQ(kResultWriteFailed, CopySysFile(Folder().c_str()));
    EXPECT_EQ(std::vector<std::string>({"ERROR: FindFirstFile fail // CopySysFile.", unserved("qvusbser.sys"),
                                        unserved("qvusbapp.sys")}),
              LogMessages());

    // A maker's package with its drivers per architecture, as its INF's source-disk sections name them
    // (on a 32-bit Windows, the x86 ones): an empty subfolder serves nothing.
    Put("qvmdm.inf",
        std::string(kInf) +
            "[SourceDisksNames.x86]\r\n1 = %Disk%,,,\\x86\r\n[SourceDisksNames.amd64]\r\n"
            "1 = %Disk%,,,\\x64\r\n[SourceDisksFiles]\r\nqvusbser.sys = 1\r\nQVUSBAPP.SYS = 1\r\n");
    std::string below = Folder() + "\\x86";
    ASSERT_TRUE(CreateDirectoryA(below.c_str(), nullptr));
    DeleteLog();
    EXPECT_EQ(kResultWriteFailed, CopySysFile(Folder().c_str()));
    EXPECT_EQ(3u, LogMessages().size());

    // Windows copies them from there when it installs the device.
    Put("x86\\qvusbser.sys", "serial driver");
    Put("x86\\qvusbapp.sys", "adb driver");
    DeleteLog();
    EXPECT_EQ(0, CopySysFile(Folder().c_str()));
    for (const char* name : {"qvusbser.sys", "qvusbapp.sys"})
        ForceDeleteFile((below + "\\" + name).c_str());
    RemoveDirectoryA(below.c_str());
    EXPECT_EQ(
        std::vector<std::string>({"INFO: The edition folder keeps its drivers in its subfolders; Windows "
                                  "copies them when it installs the device"}),
        LogMessages());
}

TEST_F(DriverPlacement, WindowsOwnDriverStaysAndAFolderOverWindowsDriversNeedsNoDriverFile) {
    sim::Result own = sim::PlaceWindowsOwnDrivers("10");
    ASSERT_TRUE(own) << own.Message();
    DeviceProfile.UsbDriverName = "usbser.sys";
    DeviceProfile.AdbUsbDriverName = "winusb.sys";
    // A package that carries its own usbser.sys beside a driver of its own.
    Put("usbser.sys", "the package's usbser.sys");
    Put("qvusbapp.sys", "adb driver");
    EXPECT_EQ(0, CopySysFile(Folder().c_str()));
    EXPECT_EQ("Windows' own usbser.sys", ReadWholeFile(SystemFile("drivers\\usbser.sys")));
    EXPECT_EQ("adb driver", ReadWholeFile(SystemFile("drivers\\qvusbapp.sys")));
    EXPECT_TRUE(InOrder(LogMessages(), {"INFO: " + SystemFile("drivers\\usbser.sys") +
                                        " is Windows' own file (Windows' INF mdmcpq.inf names it); the "
                                        "package's copy does not replace it"}));
    EXPECT_TRUE(InOrder(LogMessages(), {"INFO: Copy sys file OK."}));

    // INFs over Windows' own drivers, and no driver file: no failure.
    ForceDeleteFile(Source("usbser.sys").c_str());
    ForceDeleteFile(Source("qvusbapp.sys").c_str());
    Put("qvmdm.inf", kInf);
    DeleteLog();
    EXPECT_EQ(0, CopySysFile(Folder().c_str()));
    EXPECT_EQ(
        std::vector<std::string>(
            {"INFO: The driver file usbser.sys is Windows' own (Windows' INF mdmcpq.inf names it)",
             "INFO: The driver file winusb.sys is Windows' own (Windows' INF winusb.inf names it)",
             "INFO: The edition folder holds no driver file: the profile's driver files are Windows' own or "
             "come with the package's co-installer"}),
        LogMessages());
}

// Windows XP has no winusb.sys of its own: an ADB package over WinUSB brings it with its co-installer.
TEST_F(DriverPlacement, OnXpWinusbMustComeWithTheCoInstallerOfAnInfThatNamesIt) {
    sim::Result own = sim::PlaceWindowsOwnDrivers("xp");
    ASSERT_TRUE(own) << own.Message();
    DeviceProfile.UsbDriverName = "usbser.sys";
    DeviceProfile.AdbUsbDriverName = "winusb.sys";
    const std::string adb =
        "[USB_Install]\r\nInclude=winusb.inf\r\nNeeds=WINUSB.NT\r\n[WinUSB_ServiceInstall]\r\n"
        "ServiceBinary=%12%\\WinUSB.sys\r\n";
    Put("qvadb.inf", adb);
    EXPECT_EQ(kResultWriteFailed, CopySysFile(Folder().c_str()));
    EXPECT_EQ(
        std::vector<std::string>({"INFO: The driver file usbser.sys is Windows' own (Windows' INF mdmcpq.inf "
                                  "names it)",
                                  "ERROR: FindFirstFile fail // CopySysFile.",
                                  "ERROR: Nothing serves the driver file winusb.sys: the edition folder "
                                  "holds none, no subfolder holds it where the folder's INFs put it, and "
                                  "Windows has none of its own"}),
        LogMessages());
    Put("qvadb.inf", adb + "[USB_Install.CoInstallers]\r\nCopyFiles=CoInstallers_CopyFiles\r\n");
    DeleteLog();
    EXPECT_EQ(0, CopySysFile(Folder().c_str()));
    EXPECT_EQ(2u, LogMessages().size()); // usbser.sys is Windows' own, winusb.sys comes with the co-installer
}

TEST_F(InfRegistration, InfAlreadyInTheStoreIsReplaced) {
    Put("qvmdm.inf", kInf);
    g_copyAnswers = {ERROR_FILE_EXISTS, 0};
    EXPECT_EQ(0, CopyInfFileWith(Folder().c_str(), ScriptedCopy));
    EXPECT_EQ(std::vector<std::string>({"qvmdm.inf", "qvmdm.inf replace-only"}), g_copyCalls);
    std::string tail = "File: " + Source("qvmdm.inf") + "; To: " + WindowsFolder() + "\\System32\\drivers\\.";
    EXPECT_EQ(std::vector<std::string>(
                  {"INFO: Copy inf file error: 80, " + tail, "INFO: Copy inf file OK, " + tail}),
              LogMessages());
}

TEST_F(InfRegistration, InfThatCannotBeReplacedEndsThePlacement) {
    Put("qvmdm.inf", kInf);
    g_copyAnswers = {ERROR_FILE_EXISTS, ERROR_ACCESS_DENIED};
    EXPECT_EQ(kResultWriteFailed, CopyInfFileWith(Folder().c_str(), ScriptedCopy));
    std::string tail = "File: " + Source("qvmdm.inf") + "; To: " + WindowsFolder() + "\\System32\\drivers\\.";
    EXPECT_EQ(std::vector<std::string>(
                  {"INFO: Copy inf file error: 80, " + tail, "INFO: Copy inf file error: 5, " + tail}),
              LogMessages());
}

TEST_F(InfRegistration, InfRefusedForAnotherReasonFailsThePlacementOnceEveryInfWasTried) {
    Put("qvmdm.inf", kInf);
    Put("broken.inf", "not an INF");
    Put("upper.INF", kInf);
    g_copyAnswers = {ERROR_INSUFFICIENT_BUFFER, 0};
    ReachStep("driver placement");
    EXPECT_EQ(kResultWriteFailed, CopyInfFileWith(Folder().c_str(), ScriptedCopy));
    // Both .inf files were tried once each, with the plain style; upper.INF was not tried at all.
    std::vector<std::string> calls = g_copyCalls;
    std::sort(calls.begin(), calls.end());
    EXPECT_EQ(std::vector<std::string>({"broken.inf", "qvmdm.inf"}), calls);
    std::string refused = g_copyCalls[0];
    std::string tail =
        "File: " + Source(refused.c_str()) + "; To: " + WindowsFolder() + "\\System32\\drivers\\.";
    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ("INFO: Copy inf file error: 122, " + tail, messages[0]);
    EXPECT_EQ("ERROR: Windows refused the driver package " + Source(refused.c_str()) +
                  ": the catalog file its INF names is missing (Wine answers so) (error 122).",
              messages[1]);
    EXPECT_EQ(0u, messages[2].find("INFO: Copy inf file OK, ")) << messages[2];
    EXPECT_EQ("driver placement: Windows refused " + refused, std::string(LastStepReached()));
}
