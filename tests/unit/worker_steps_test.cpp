// The decisions of the install and update workers: portflip's parameters, the wait for the drive
// letter to go and come back (played on a clock of the test's own), the look at the device's identity after
// it, the run modes, the status file's path, the update worker's progress step and the line of the wait for
// Windows' device installation to settle.
#include "installer/device_settle.h"
#include "installer/install_worker.h"
#include "installer/mode_switch.h"
#include "installer/switch_check.h"
#include "installer/update_worker.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A drive letter that goes at `goesAt` and comes back at `backAt` (ms from the start; -1 never), on a clock
// that only the waits move. The clock may start anywhere, also just before the tick counter wraps.
class PlayedDrive : public CdromWatch {
public:
    PlayedDrive(long long goesAt, long long backAt, DWORD clockStart = 1000)
        : m_goesAt(goesAt), m_backAt(backAt), m_start(clockStart) {}
    bool DrivePresent() override {
        bool gone = m_goesAt >= 0 && m_passed >= m_goesAt;
        bool back = m_backAt >= 0 && m_passed >= m_backAt;
        return !gone || back;
    }
    DWORD Now() override { return m_start + static_cast<DWORD>(m_passed); }
    bool Pause(DWORD milliseconds) override {
        m_passed += milliseconds;
        ++m_pauses;
        return m_stopAfter < 0 || m_pauses < m_stopAfter;
    }
    void Gone() override { m_goneAt = m_passed; }

    long long m_goneAt = -1; // when the wait saw the letter gone
    int m_stopAfter = -1;    // the worker is asked to stop in that pause

private:
    long long m_goesAt, m_backAt;
    DWORD m_start;
    long long m_passed = 0;
    int m_pauses = 0;
};

} // namespace

TEST(ModeSwitch, PortflipIsAskedToSwitchTheDrive) {
    char parameters[kPathRoom];
    ASSERT_TRUE(SwitchParameters("E:", parameters));
    EXPECT_STREQ("-switch -cdrom:E:", parameters);
    EXPECT_FALSE(SwitchParameters(std::string(250, 'x').c_str(), parameters));
}

TEST(CdromCycle, ALetterThatGoesAndComesBackInTimePasses) {
    PlayedDrive drive(2000, 20000);
    DWORD elapsed = 0;
    EXPECT_EQ(CdromCycle::kCameBack, WatchCdromCycle(drive, &elapsed));
    EXPECT_EQ(2000, drive.m_goneAt);
}

TEST(CdromCycle, ALetterThatNeverGoesFailsAfterSixtySeconds) {
    PlayedDrive drive(-1, -1);
    DWORD elapsed = 0;
    EXPECT_EQ(CdromCycle::kNeverWent, WatchCdromCycle(drive, &elapsed));
    EXPECT_EQ(60u, elapsed / 1000);
    EXPECT_GT(elapsed, kCdromCycleLimit);
    EXPECT_EQ(-1, drive.m_goneAt);
}

TEST(CdromCycle, TheLimitCountsOverBothWaits) {
    // Gone after 50 s, back 15 s later: each wait alone is short, both together are not.
    PlayedDrive late(50000, 65000);
    DWORD elapsed = 0;
    EXPECT_EQ(CdromCycle::kNeverCameBack, WatchCdromCycle(late, &elapsed));
    EXPECT_EQ(50000, late.m_goneAt);
    PlayedDrive never(1000, -1);
    EXPECT_EQ(CdromCycle::kNeverCameBack, WatchCdromCycle(never, &elapsed));
    // The pause between the waits counts too: back at 59.5 s is in time.
    PlayedDrive justInTime(1000, 59500);
    EXPECT_EQ(CdromCycle::kCameBack, WatchCdromCycle(justInTime, &elapsed));
}

TEST(CdromCycle, AWrapOfTheTickCounterDoesNoHarm) {
    PlayedDrive drive(2000, 5000, 0xFFFFF000u);
    DWORD elapsed = 0;
    EXPECT_EQ(CdromCycle::kCameBack, WatchCdromCycle(drive, &elapsed));
}

TEST(CdromCycle, AStopEndsTheWaitAtTheNextPause) {
    PlayedDrive waiting(-1, -1);
    waiting.m_stopAfter = 3;
    DWORD elapsed = 0;
    EXPECT_EQ(CdromCycle::kStopped, WatchCdromCycle(waiting, &elapsed));
    PlayedDrive between(0, 10000);
    between.m_stopAfter = 1; // the pause between the waits
    EXPECT_EQ(CdromCycle::kStopped, WatchCdromCycle(between, &elapsed));
    EXPECT_EQ(0, between.m_goneAt);
}

TEST(InstallWorker, RunModesChooseTheStepsAndTheEnd) {
    EXPECT_TRUE(SwitchesOnly(5));
    for (int mode : {0, 1, 2, 4, 6, -1})
        EXPECT_FALSE(SwitchesOnly(mode)) << mode;
    for (int mode : {0, 4})
        EXPECT_TRUE(EndsWithFinalWindow(mode)) << mode;
    for (int mode : {1, 2, 5, 6, -4})
        EXPECT_FALSE(EndsWithFinalWindow(mode)) << mode;
}

TEST(UpdateWorker, TheProgressStepHalvesPerOutdatedDriver) {
    EXPECT_EQ(50, UpdateProgressStep(1));
    EXPECT_EQ(25, UpdateProgressStep(2));
    EXPECT_EQ(16, UpdateProgressStep(3));
    EXPECT_EQ(50, UpdateProgressStep(0));
}

TEST(SwitchCheck, ThePortsDecideAndTheStorageIdentityIsAnUnswitchedReturn) {
    const DWORD limit = 10000;
    EXPECT_EQ(SwitchLook::kPortsCame, DecideSwitchLook({true, false}, 0, limit));
    // A device that shows both has switched: its ports are what the launcher waits for.
    EXPECT_EQ(SwitchLook::kPortsCame, DecideSwitchLook({true, true}, limit, limit));
    EXPECT_EQ(SwitchLook::kCameBackUnswitched, DecideSwitchLook({false, true}, 0, limit));
    EXPECT_EQ(SwitchLook::kNotYet, DecideSwitchLook({false, false}, limit - 1, limit));
    EXPECT_EQ(SwitchLook::kNothingInTime, DecideSwitchLook({false, false}, limit, limit));
}

TEST(SwitchCheck, SettingsOutOfTheirRangeKeepTheirDefaults) {
    SwitchSettings none = ParseSwitchSettings(nullptr, nullptr);
    EXPECT_EQ(0, none.retries);
    EXPECT_EQ(10, none.portsWaitSeconds);
    SwitchSettings given = ParseSwitchSettings("9", "120");
    EXPECT_EQ(9, given.retries);
    EXPECT_EQ(120, given.portsWaitSeconds);
    for (const char* bad : {"10", "-1", "", "1x", " 1", "99999999999"})
        EXPECT_EQ(0, ParseSwitchSettings(bad, nullptr).retries) << bad;
    for (const char* bad : {"0", "121", "ten"})
        EXPECT_EQ(10, ParseSwitchSettings(nullptr, bad).portsWaitSeconds) << bad;
}

TEST(DeviceSettle, TheLineSaysWhetherItWaitedGaveUpOrFailed) {
    // Nothing was pending: no line.
    EXPECT_EQ("", SettleLogLine(WAIT_OBJECT_0, 0, 0, kSettleLimit));
    EXPECT_EQ("", SettleLogLine(WAIT_OBJECT_0, 0, kSettledAtOnce - 1, kSettleLimit));
    EXPECT_EQ("INFO: Device installation settled after a wait of 100 ms",
              SettleLogLine(WAIT_OBJECT_0, 0, kSettledAtOnce, kSettleLimit));
    EXPECT_EQ("INFO: Device installation settled after a wait of 29984 ms",
              SettleLogLine(WAIT_OBJECT_0, 0, 29984, kSettleLimit));
    EXPECT_EQ("WARN: Device installation still pending after 30016 ms (limit 30000 ms), going on",
              SettleLogLine(WAIT_TIMEOUT, 0, 30016, kSettleLimit));
    EXPECT_EQ("ERROR: CMP_WaitNoPendingInstallEvents fail.LastError:6 (answer 4294967295), going on",
              SettleLogLine(WAIT_FAILED, ERROR_INVALID_HANDLE, 3, kSettleLimit));
    // An answer the call does not document is no settled installation either.
    EXPECT_EQ("ERROR: CMP_WaitNoPendingInstallEvents fail.LastError:0 (answer 128), going on",
              SettleLogLine(WAIT_ABANDONED, 0, 3, kSettleLimit));
}
