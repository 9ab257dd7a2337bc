// The host and device probes on a simulated PC: device nodes, CD-ROM drives and editions made with the
// simulated PC, read back through the probes as the programs will.
#include "common/devices.h"
#include "common/host.h"
#include "common/log.h"
#include "common/profile.h"
#include "support.h"
#include "tests/sim/simpc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

const char kModem[] = "usb\\vid_1234&pid_5678";

sim::DeviceNode Node(const std::string& instance, std::vector<std::string> hardware,
                     std::vector<std::string> compatible = {}) {
    sim::DeviceNode node;
    node.instanceId = instance;
    node.hardwareIds = std::move(hardware);
    node.compatibleIds = std::move(compatible);
    return node;
}

void Add(const sim::DeviceNode& node) {
    sim::Result added = sim::AddDevice(node);
    ASSERT_TRUE(added) << added.Message();
}

int Absent(const char* hardwareId, const char* compatibleId) {
    int absent = -1;
    EXPECT_EQ(1, DetectDevice(hardwareId, compatibleId, &absent));
    return absent;
}

// A Linux folder for a simulated CD-ROM's root.
std::string LinuxFolder(const char* name) {
    std::string folder =
        std::string("/tmp/suite-probes-") + std::to_string(GetCurrentProcessId()) + "-" + name;
    CreateDirectoryA(("Z:" + folder).c_str(), nullptr);
    return folder;
}

class DeviceOnThePc : public LoggingTest {};
class DrivesOnThePc : public LoggingTest {};

} // namespace

TEST_F(DeviceOnThePc, IsFoundThroughTheSecondStringOfItsHardwareIds) {
    Add(Node("USB\\VID_1234&PID_5678\\SERIAL01",
             {"USB\\VID_1234&PID_5678&REV_0000", "USB\\VID_1234&PID_5678"}));
    EXPECT_EQ(0, Absent(kModem, nullptr));
    EXPECT_EQ("Finded  device(usb\\vid_1234&pid_5678), SUC...", LogMessages().back());
}

TEST_F(DeviceOnThePc, IsNeverFoundByAPrefixOrAnUpperCaseId) {
    Add(Node("USB\\VID_1234&PID_5678\\SERIAL02",
             {"USB\\VID_1234&PID_5678&REV_0000", "USB\\VID_1234&PID_5678"}));
    EXPECT_EQ(1, Absent("usb\\vid_1234", nullptr));
    EXPECT_EQ(1, Absent("USB\\VID_1234&PID_5678", nullptr));
    EXPECT_EQ("Not finded the device(USB\\VID_1234&PID_5678)", LogMessages().back());
}

TEST_F(DeviceOnThePc, OneSnapshotAnswersAndLogsEachLookAsAWalkOfTheDevicesDoes) {
    Add(Node("USB\\VID_3A3A&PID_0001\\A", {"USB\\VID_3A3A&PID_0001"}, {"USB\\Class_02"}));
    Add(Node("USB\\VID_3A3A&PID_0001\\B", {"USB\\VID_3A3A&PID_0001"}, {"USB\\Class_08"}));
    Add(Node("USB\\VID_3A3A&PID_0003\\C", {"USB\\VID_3A3A&PID_0003"}));
    struct Look {
        const char* hwid;
        const char* compatId;
    };
    const Look looks[] = {{"usb\\vid_3a3a&pid_0001", "usb\\class_08"},
                          {"usb\\vid_3a3a&pid_0001", "usb\\class_ff"},
                          {"usb\\vid_3a3a&pid_0003", ""},
                          {"usb\\vid_3a3a&pid_0009", nullptr},
                          {"usb\\vid_3a3a&pid_0001", "usb\\class_02"}};
    DeviceSnapshot snapshot;
    ASSERT_TRUE(snapshot.Take());
    for (const Look& look : looks) {
        DeleteLog();
        int walked = -1, snapped = -1;
        EXPECT_EQ(1, DetectDevice(look.hwid, look.compatId, &walked));
        std::vector<std::string> walkLines = LogMessages();
        DeleteLog();
        EXPECT_EQ(1, snapshot.Detect(look.hwid, look.compatId, &snapped));
        EXPECT_EQ(walked, snapped) << look.hwid;
        EXPECT_EQ(walkLines, LogMessages()) << look.hwid;
    }
}

TEST_F(DeviceOnThePc, CompatibleIdFilterSkipsOneDeviceAndFindsALaterOne) {
    Add(Node("USB\\VID_2222&PID_0001\\A", {"USB\\VID_2222&PID_0001"}, {"USB\\Class_02"}));
    Add(Node("USB\\VID_2222&PID_0001\\B", {"USB\\VID_2222&PID_0001"},
             {"USB\\Class_08&SubClass_06", "USB\\Class_08"}));
    EXPECT_EQ(0, Absent("usb\\vid_2222&pid_0001", "usb\\class_08"));
    std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(),
                                        "INF: Can't compared compatible ID: usb\\class_08..."));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "INF: Compared: usb\\class_08..."));
    EXPECT_EQ(1, Absent("usb\\vid_2222&pid_0001", "usb\\class_ff"));
}

TEST_F(DeviceOnThePc, DeviceWithoutCompatibleIdsNeverPassesTheFilter) {
    Add(Node("USB\\VID_3333&PID_0001\\A", {"USB\\VID_3333&PID_0001"}));
    EXPECT_EQ(1, Absent("usb\\vid_3333&pid_0001", "usb\\class_08"));
    EXPECT_EQ(0, Absent("usb\\vid_3333&pid_0001", ""));
}

TEST_F(DeviceOnThePc, RemovedDeviceIsAbsent) {
    Add(Node("USB\\VID_4444&PID_0001\\A", {"USB\\VID_4444&PID_0001"}));
    EXPECT_EQ(0, Absent("usb\\vid_4444&pid_0001", nullptr));
    ASSERT_TRUE(sim::RemoveDevice("USB\\VID_4444&PID_0001\\A"));
    EXPECT_EQ(1, Absent("usb\\vid_4444&pid_0001", nullptr));
}

// Wine knows no compatible drivers of a simulated device, so its driver version is 0: every real version
// in the profile asks for an update, and one that reads as 0.0.0.0 does not.
TEST_F(DeviceOnThePc, DriverWithoutCompatibleDriverIsOlderThanAnyRealVersion) {
    Add(Node("USB\\VID_5555&PID_0001&MI_00\\A", {"USB\\VID_5555&PID_0001&MI_00"}));
    EXPECT_EQ(1, CheckDriverVersion("usb\\vid_5555&pid_0001&mi_00", "2.1.0.8"));
    EXPECT_EQ("LastestDriverVersion > CurrentDriverVersion. Need update.", LogMessages().back());
    EXPECT_EQ(0, CheckDriverVersion("usb\\vid_5555&pid_0001&mi_00", "no digits"));
    EXPECT_EQ("LastestDriverVersion <= CurrentDriverVersion. Don`t need update.", LogMessages().back());
    // One snapshot answers several looks with the lines of a walk each.
    DeleteLog();
    for (const char* version : {"2.1.0.8", "no digits"})
        CheckDriverVersion("usb\\vid_5555&pid_0001&mi_00", version);
    CheckDriverVersion("usb\\vid_5555&pid_0009&mi_00", "2.1.0.8");
    std::vector<std::string> walkLines = LogMessages();
    DeleteLog();
    DeviceSnapshot snapshot;
    EXPECT_EQ(1, snapshot.CheckDriverVersion("usb\\vid_5555&pid_0001&mi_00", "2.1.0.8"));
    EXPECT_EQ(0, snapshot.CheckDriverVersion("usb\\vid_5555&pid_0001&mi_00", "no digits"));
    EXPECT_EQ(0, snapshot.CheckDriverVersion("usb\\vid_5555&pid_0009&mi_00", "2.1.0.8"));
    EXPECT_EQ(walkLines, LogMessages());
}

// One probe walks every device of the machine: its cost must grow no worse than linearly with them.
TEST_F(DeviceOnThePc, ProbeCostGrowsLinearlyWithTheDevices) {
    auto timeProbe = [] {
        DWORD best = ~0u;
        for (int i = 0; i < 3; ++i) {
            DWORD start = GetTickCount();
            int absent = 0;
            DetectDevice("usb\\vid_9999&pid_9999", nullptr, &absent);
            best = std::min(best, GetTickCount() - start);
        }
        return best;
    };
    std::vector<sim::DeviceNode> before;
    ASSERT_TRUE(sim::ListDevices(&before));
    sim::DeviceNode pattern = Node("USB\\VID_7777&PID_#\\S#", {"USB\\VID_7777&PID_#"}, {"USB\\Class_FF"});
    ASSERT_TRUE(sim::AddNumberedDevices(pattern, 20));
    DWORD with20 = timeProbe();
    ASSERT_TRUE(sim::AddNumberedDevices(pattern, 480, 20));
    DWORD with500 = timeProbe();
    printf("DetectDevice: %u ms with %u + 20 device nodes, %u ms with %u + 500\n",
           static_cast<unsigned>(with20), static_cast<unsigned>(before.size()),
           static_cast<unsigned>(with500), static_cast<unsigned>(before.size()));
    RecordProperty("probe_ms_20", static_cast<int>(with20));
    RecordProperty("probe_ms_500", static_cast<int>(with500));
    // 25 times the devices: allow 25 times the cost, twice over for noise, plus the tick count's step.
    EXPECT_LE(with500, 2 * 25 * (with20 + 16));
}

TEST_F(DrivesOnThePc, CdromDrivesAreListedInLetterOrderBesideTheFixedOnes) {
    ASSERT_TRUE(sim::DefineCdromDrive('E', LinuxFolder("e").c_str(), nullptr));
    ASSERT_TRUE(sim::DefineCdromDrive('D', LinuxFolder("d").c_str(), nullptr));
    std::vector<std::string> drives;
    EXPECT_EQ(1, ListCdromDrives(drives));
    EXPECT_EQ(std::vector<std::string>({"D:", "E:"}), drives);
    EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA("C:\\"));
    EXPECT_EQ(1, IsDrivePresent("e:\\setup"));
    ASSERT_TRUE(sim::RemoveDrive('E'));
    EXPECT_EQ(0, IsDrivePresent("e:\\setup"));
    drives.clear();
    EXPECT_EQ(1, ListCdromDrives(drives));
    EXPECT_EQ(std::vector<std::string>({"D:"}), drives);
    sim::RemoveDrive('D');
}

TEST(EditionOnThePc, ProfileReadFixesTheEditionOfTheSimulatedWindows) {
    struct Case {
        const char* version;
        const char* buildLab;
        int before, after;
    } cases[] = {
        {"6.1", "7601.24214.amd64fre.win7sp1_ldr_escrow.180801-1700", 0, 6},
        {"6.1", "7601.24214.x86fre.win7sp1_ldr_escrow.180801-1700", 0, 5},
        {"6.1", "7601.24214.X86FRE.win7sp1", 0, 6},
        {"5.2", "3790.srv03_sp2_rtm.070216-1710", 2, 2},
        {"6.0", nullptr, 0, 3},
        {"5.0", nullptr, 0, 1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sim::SetEdition(c.version, c.buildLab));
        int edition = c.before;
        GetSystemVersion(&edition);
        EXPECT_EQ(c.after, edition) << c.version << " " << (c.buildLab ? c.buildLab : "(no build lab)");
    }
}

// The numbers Windows 10 and 11 add are read from the simulated PC; a medium that does not serve newer
// Windows still ends there as it always has.
TEST(EditionOnThePc, Windows11IsNamedForAMediumThatServesIt) {
    ASSERT_TRUE(sim::SetEdition("6.3", "22621.1.amd64fre.ni_release.220506-1250", {10, "22631"}));
    DeleteLog();
    int edition = kEditionXP;
    EXPECT_EQ(1, GetSystemVersion(&edition, true));
    EXPECT_EQ(kEditionNewer64, edition);
    EXPECT_EQ(
        std::vector<std::string>({"current system version 6.3", "current system is Windows 11, build 22631",
                                  "current  system build lab is 22621.1.amd64fre.ni_release.220506-1250",
                                  "It is a 64bite OS"}),
        LogMessages());
    DeleteLog();
    edition = kEditionXP;
    EXPECT_EQ(0, GetSystemVersion(&edition));
    EXPECT_EQ(kEditionXP, edition);
    EXPECT_EQ(std::vector<std::string>({"current system version 6.3", "unknow system version 6.3"}),
              LogMessages());
    // Back to 8.1: the major number goes, so the same build reads as 8.1.
    ASSERT_TRUE(sim::SetEdition("6.3", "9600.17031.x86fre.winblue_gdr.140221-1952", {0, "9600"}));
    DeleteLog();
    EXPECT_EQ(1, GetSystemVersion(&edition, true));
    EXPECT_EQ(kEditionNewer32, edition);
    EXPECT_EQ("current system is Windows 8.1, build 9600", LogMessages().at(1));
}
