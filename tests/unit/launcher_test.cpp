// The launcher's decisions that the simulated PC cannot reach (a user without administrator rights), and
// its file look-ups.
#include "launcher/driver_check.h"
#include "launcher/startup.h"

#include "common/handles.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

// Answers as configured and records which questions were asked.
class FakeLaunchProbe : public LaunchProbe {
public:
    int storageMode = 0;
    int driverFiles = 0;
    int administrator = 1;
    int applicationRunning = 0;
    std::vector<std::string> asked;

    int StorageModePresent() override { return Ask("storage", storageMode); }
    int DriverFilesInstalled() override { return Ask("driver files", driverFiles); }
    int IsAdministrator() override { return Ask("administrator", administrator); }
    int ApplicationRunning() override { return Ask("application", applicationRunning); }

private:
    int Ask(const char* question, int answer) {
        asked.push_back(question);
        return answer;
    }
};

using Questions = std::vector<std::string>;

class LaunchDecision : public LoggingTest {
protected:
    FakeLaunchProbe probe;
};

const char kNonAdministrator[] = "No driver but driver files exist ,non-administrator";
const char kRunningInStorageMode[] = "Palvio or Dialup is running , but driver isn`t install.";

} // namespace

TEST_F(LaunchDecision, DriversInWindowsAndAnAdministratorSwitchThePortsWithoutAskingTheApplications) {
    probe.storageMode = 1;
    probe.driverFiles = 1;
    EXPECT_EQ(LaunchRoad::kSwitchPorts, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({"storage", "driver files", "administrator"}), probe.asked);
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(LaunchDecision, DriversInWindowsWithoutAdministratorRightsFallThroughToTheApplications) {
    probe.storageMode = 1;
    probe.driverFiles = 1;
    probe.administrator = 0;
    EXPECT_EQ(LaunchRoad::kWindow, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({"storage", "driver files", "administrator", "application"}), probe.asked);
    EXPECT_EQ(Questions({kNonAdministrator}), LogMessages());

    // With an application running, the installer is asked for: its own check then finds no administrator.
    DeleteLog();
    probe.asked.clear();
    probe.applicationRunning = 1;
    EXPECT_EQ(LaunchRoad::kInstallForRunning, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({kNonAdministrator, kRunningInStorageMode}), LogMessages());
}

TEST_F(LaunchDecision, StorageModeWithoutDriverFilesNeverAsksForTheAdministrator) {
    probe.storageMode = 1;
    EXPECT_EQ(LaunchRoad::kWindow, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({"storage", "driver files", "application"}), probe.asked);

    probe.asked.clear();
    probe.applicationRunning = 1;
    EXPECT_EQ(LaunchRoad::kInstallForRunning, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({"storage", "driver files", "application"}), probe.asked);
    EXPECT_EQ(Questions({kRunningInStorageMode}), LogMessages());
}

TEST_F(LaunchDecision, WithoutTheStorageModeTheDriverFilesAreNotLookedFor) {
    EXPECT_EQ(LaunchRoad::kWindow, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({"storage", "application"}), probe.asked);

    probe.asked.clear();
    probe.applicationRunning = 1;
    EXPECT_EQ(LaunchRoad::kEndQuietly, ChooseLaunchRoad(probe));
    EXPECT_EQ(Questions({"storage", "application"}), probe.asked);
    EXPECT_TRUE(LogMessages().empty()) << "the quiet end says nothing";
}

TEST(PnfTwin, OnlyTheLowerCaseExtensionOfTheFileNameIsReplaced) {
    EXPECT_EQ("C:\\WINDOWS\\Inf\\oem12.Pnf", PnfPathOf("C:\\WINDOWS\\Inf\\oem12.inf"));
    EXPECT_EQ("C:\\WINDOWS\\Inf\\OEM12.INF", PnfPathOf("C:\\WINDOWS\\Inf\\OEM12.INF"));
    EXPECT_EQ("C:\\WINDOWS\\Inf\\oem1.Pnf.Pnf", PnfPathOf("C:\\WINDOWS\\Inf\\oem1.inf.inf"));
    EXPECT_EQ("D:\\my.info\\Inf\\oem3.Pnf", PnfPathOf("D:\\my.info\\Inf\\oem3.inf"))
        << "a folder's name is no extension";
}

TEST(FileExistence, TheFolderIsListedWithoutRegardToLetterCase) {
    TempDir dir;
    WriteWholeFile(dir.File("Driver.SYS"), "x");
    CreateDirectoryA(dir.File("folder.sys").c_str(), nullptr);
    EXPECT_EQ(1, IsFileExist(dir.File("Driver.SYS").c_str()));
    EXPECT_EQ(1, IsFileExist(dir.File("driver.sys").c_str()));
    EXPECT_EQ(0, IsFileExist(dir.File("folder.sys").c_str())) << "a folder is no file";
    EXPECT_EQ(0, IsFileExist(dir.File("driver.sy").c_str()));
    EXPECT_EQ(0, IsFileExist(dir.File("missing\\driver.sys").c_str()));
    EXPECT_EQ(0, IsFileExist("driver.sys")) << "a name without a folder";
    EXPECT_EQ(0, IsFileExist(""));
}

TEST(FileExistence, AFileThatCannotBeOpenedStillCounts) {
    TempDir dir;
    std::string path = dir.File("held.sys");
    WriteWholeFile(path, "x");
    ScopedFileHandle held(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(1, IsFileExist(path.c_str()));
}
