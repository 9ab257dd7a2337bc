#include "mode_switch.h"

#include "instoria_dlg.h"
#include "package_folder.h"
#include "resident.h"
#include "run_outcome.h"
#include "user_start.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/host.h"
#include "common/log.h"
#include "common/processes.h"

namespace {

const char kSwitchTool[] = "portflip.exe";
const char kStartupTool[] = "Bootrel.exe";

// A tool beside the installer; false (logged) when its path does not fit.
bool ToolPath(const char* name, char (&path)[kPathRoom]) {
    if (CopyBounded(path, kPathRoom, InstallerPackageDir().c_str()) && AppendBounded(path, kPathRoom, name))
        return true;
    WriteLog("ERR: The path of %s is longer than %u characters, refused", name,
             static_cast<unsigned>(kPathRoom - 1));
    return false;
}

class WindowCdromWatch : public CdromWatch {
public:
    explicit WindowCdromWatch(CInstoriaDlg& dlg) : m_dlg(dlg) {}
    bool DrivePresent() override { return IsDrivePresent(m_dlg.m_szCdromDrive) != 0; }
    DWORD Now() override { return ClockTickCount(); }
    bool Pause(DWORD milliseconds) override { return m_dlg.WorkerPause(milliseconds); }
    void Gone() override {
        WriteLog("Disk is removed OK");
        WriteLog("Refresh device manager OK");
        m_dlg.SetProgress(80);
    }

private:
    CInstoriaDlg& m_dlg;
};

} // namespace

void SetTcpReceiveWindow() {
    WriteLog("Set Key:Tcpip\\Parameters\\TcpWindowSize=0x00020000");
    RegSetDwordValue("SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", 0x00020000, "TcpWindowSize");
}

bool SwitchParameters(const char* drive, char (&parameters)[kPathRoom]) {
    return FormatBounded(parameters, kPathRoom, "%s -cdrom:%s", "-switch", drive);
}

int switch_3_port(CInstoriaDlg& dlg) {
    char program[kPathRoom] = {};
    char parameters[kPathRoom] = {};
    bool composed = ToolPath(kSwitchTool, program) && SwitchParameters(dlg.m_szCdromDrive, parameters);
    // A window that goes stops the wait for the tool too: the program ends even when the tool hangs.
    if (composed && RunClientSetup(program, parameters, dlg.StopEvent(), kSwitchToolLimit)) {
        if (dlg.StopRequested())
            return 0;
        WriteLog("switch_3_port(): device switch OK");
        return 1;
    }
    WriteLog("switch_3_port(): notify mobile to switch cd_rom to three_port fail");
    dlg.EndAfterFailure();
    return 0;
}

CdromCycle WatchCdromCycle(CdromWatch& watch, DWORD* elapsed) {
    DWORD start = watch.Now();
    // Unsigned differences: a wrap of the tick counter does no harm.
    while (watch.DrivePresent()) {
        if (watch.Now() - start > kCdromCycleLimit) {
            *elapsed = watch.Now() - start;
            return CdromCycle::kNeverWent;
        }
        if (!watch.Pause(500))
            return CdromCycle::kStopped;
    }
    watch.Gone();
    if (!watch.Pause(1000))
        return CdromCycle::kStopped;
    while (!watch.DrivePresent()) {
        if (watch.Now() - start > kCdromCycleLimit) {
            *elapsed = watch.Now() - start;
            return CdromCycle::kNeverCameBack;
        }
        if (!watch.Pause(500))
            return CdromCycle::kStopped;
    }
    return CdromCycle::kCameBack;
}

int WaitCdromCycle(CInstoriaDlg& dlg) {
    WindowCdromWatch watch(dlg);
    DWORD elapsed = 0;
    switch (WatchCdromCycle(watch, &elapsed)) {
    case CdromCycle::kCameBack:
        return 1;
    case CdromCycle::kNeverWent:
        WriteLog("Wait for del cdrom %s fail. Time interval is %d second.", dlg.m_szCdromDrive,
                 static_cast<int>(elapsed / 1000));
        dlg.EndFromWorker(false);
        return 0;
    case CdromCycle::kNeverCameBack:
        WriteLog("Wait for cdrom %s display fail", dlg.m_szCdromDrive);
        dlg.EndFromWorker(false);
        return 0;
    case CdromCycle::kStopped:
        break;
    }
    return 0;
}

int RunStartupProgram(CInstoriaDlg& dlg) {
    dlg.SetProgress(100);
    if (!dlg.WorkerPause(500))
        return 1;
    char program[kPathRoom] = {};
    char parameters[16] = {};
    FormatBounded(parameters, sizeof parameters, "%d", dlg.m_nDoType);
    // The tool's own folder is its working folder: one that the user can change would be searched for the
    // libraries of a tool that runs as administrator where the desktop's shell cannot start it.
    const char* folder = InstallerPackageDir().c_str();
    // A tool whose path does not fit counts as one that could not be started (the shell's "not found").
    unsigned code =
        ToolPath(kStartupTool, program) ? StartWithUsersRights(program, parameters, folder, SW_HIDE) : 2;
    if (ShellStarted(code))
        WriteLog("Run startup program with para(%d) success", dlg.m_nDoType);
    else {
        WriteLog("Run startup program with para(%d) fail, fail code is %d", dlg.m_nDoType,
                 static_cast<int>(code));
        ReachStep("startup program");
        EndRun(RunEnd::kStepFailed);
    }
    dlg.EndFromWorker(true);
    return 1;
}
