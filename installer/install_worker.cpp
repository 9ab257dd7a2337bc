#include "install_worker.h"

#include "cdrom_folders.h"
#include "device_settle.h"
#include "instoria_dlg.h"
#include "mode_switch.h"
#include "package_folder.h"
#include "placement.h"
#include "removal.h"
#include "resident.h"
#include "run_outcome.h"
#include "switch_check.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/install_status.h"
#include "common/log.h"
#include "common/processes.h"
#include "common/profile.h"

bool SwitchesOnly(int runMode) {
    return runMode == 5;
}

bool EndsWithFinalWindow(int runMode) {
    return runMode == 0 || runMode == 4;
}

int ReplaceDrivers(CInstoriaDlg& dlg) {
    // A stop is taken before each step that changes the drivers.
    if (dlg.StopRequested())
        return 0;
    ReachStep("windows edition");
    int version = CheckSystemInfo();
    dlg.SetProgress(5);
    if (version != 0) {
        dlg.EndAfterFailure();
        return 0;
    }
    ReachStep("folder windows and launcher");
    WriteLog(">>Close CDROM Folders begin.");
    CloseCdromFolders(dlg.m_szCdromDrive, dlg.StopEvent());
    WriteLog("<<Close CDROM Folders end.");
    // A window closed during the search ends the run before anything of the drivers is touched.
    if (dlg.StopRequested())
        return 0;
    WriteLog(">>Begin to kill process");
    KillProcessByName(DeviceProfile.AutorunName.c_str());
    WriteLog("<<End to kill process");

    char modemAndSerial[kPathRoom] = {};
    int found = GetDriverSrcDir(modemAndSerial);
    dlg.SetProgress(10);
    if (found != 0) {
        dlg.EndAfterFailure();
        return 0;
    }
    WriteLog("Driver setup dir: %s", modemAndSerial);
    if (dlg.StopRequested())
        return 0;
    ReachStep("driver removal");
    ForgetRemovalLeftovers();
    int removed = uninstall_for_specify_pid();
    dlg.SetProgress(20);
    if (removed != 0) {
        dlg.EndAfterFailure();
        return 0;
    }
    WriteLog("Remove driver success");
    if (dlg.StopRequested())
        return 0;
    ReachStep("driver placement");
    if (InstallDriverFiles(modemAndSerial) != 0) {
        WriteLog("Install Modem&Serial driver Files error.");
        dlg.EndAfterFailure();
        return 0;
    }
    // The ADB driver's files lie in the same edition folder: a second placement from it, skipped when the
    // folder is not found this time.
    char adb[kPathRoom] = {};
    if (GetDriverSrcDir(adb) == 0 && InstallDriverFiles(adb) != 0) {
        WriteLog("Install ADB driver Files error.");
        dlg.EndAfterFailure();
        return 0;
    }
    dlg.SetProgress(40);
    WriteLog("Install driver Files OK");
    return 1;
}

void FinishInstall(CInstoriaDlg& dlg) {
    WriteLog("Waiting for 3s");
    if (!dlg.WorkerPause(3000))
        return;
    dlg.SetProgress(100);
    if (!dlg.WorkerPause(1000))
        return;
    WriteLog("Set ... invisible");
    dlg.ShowWindow(SW_HIDE);
    WriteLog("Set progress invisible");
    dlg.m_progress.ShowWindow(SW_HIDE);
    WriteLog("Set ... invisible");
    WriteLog("Hide the dlg window");
    // Exchanged while the window is hidden, then painted before it shows again.
    dlg.SetShowText(dlg.m_strInfoAfterDriver);
    dlg.Invalidate(TRUE);
    dlg.UpdateWindow();
    if (!dlg.WorkerPause(500))
        return;
    dlg.ShowWindow(SW_SHOW);
    dlg.m_btnExit.ShowWindow(SW_SHOW);
    DWORD start = ClockTickCount();
    while (ClockTickCount() - start < 8000) {
        if (!dlg.WorkerPause(10))
            return;
        if (dlg.m_bExitClicked)
            break;
    }
    dlg.EndFromWorker(true);
    WriteLog("InstallDriverThreadProc end");
}

namespace {

const char* StepAfterLook(SwitchLook look) {
    switch (look) {
    case SwitchLook::kPortsCame:
        return "ports came";
    case SwitchLook::kCameBackUnswitched:
        return "came back unswitched";
    default:
        return "ports did not come";
    }
}

bool SwitchAndWatch(CInstoriaDlg& dlg, bool& marked) {
    ReachStep("switch");
    if (dlg.StopRequested() || !switch_3_port(dlg))
        return false;
    dlg.SetProgress(50);
    // The device is switching: its CD-ROM node goes with the request, stop or not.
    if (!RemoveCdromAndMassStorage()) {
        WriteLog("deldev: del cdrom fail");
        dlg.EndAfterFailure();
        return false;
    }
    WriteLog("Delete cd rom OK");
    dlg.SetProgress(55);
    ReachStep("cd-rom return");
    if (!WaitCdromCycle(dlg))
        return false;
    WriteLog("Disk is refind");
    if (!SwitchesOnly(dlg.m_nDoType)) {
        dlg.SetProgress(90);
        // The mark for the launcher that the returning CD-ROM starts (at once, so it is written before the
        // device's identity is looked at); other sections and keys stay.
        ReachStep("status mark");
        marked = WriteInstallStatus(0) != 0;
        WriteLog("deldev: del cdrom success");
        if (!dlg.WorkerPause(100))
            return false;
    }
    return true;
}

} // namespace

DWORD WINAPI InstallDriverThreadProc(LPVOID parameter) {
    CInstoriaDlg& dlg = *static_cast<CInstoriaDlg*>(parameter);
    WriteLog("InstallDriverThreadProc begin");
    dlg.m_bExitClicked = 0;
    dlg.m_btnClose.ShowWindow(SW_HIDE);
    dlg.SetProgress(1);
    SetTcpReceiveWindow();
    if (!SwitchesOnly(dlg.m_nDoType) && !ReplaceDrivers(dlg))
        return 0;
    // The placement starts Windows' installation of the device's interfaces; the switch must not meet it
    // half done. The wait comes first so that the fixed pause still gives the device its rest after it.
    LetDeviceInstallationSettle();
    for (int position = 41; position <= 45; ++position) {
        if (!dlg.WorkerPause(1000))
            return 0;
        dlg.SetProgress(position);
    }
    WriteLog("Sleep 5S OK");
    SwitchSettings settings = ReadSwitchSettings(InstallerPackageDir() + "drvcfg.ini");
    SwitchLook look = SwitchLook::kNothingInTime;
    bool marked = SwitchesOnly(dlg.m_nDoType); // a switch alone leaves no mark to write
    for (int sent = 0;; ++sent) {
        if (!SwitchAndWatch(dlg, marked))
            return 0;
        ReachStep("device identity");
        if (!LookForSwitchedIdentity(dlg, settings, look))
            return 0;
        if (look != SwitchLook::kCameBackUnswitched || sent >= settings.retries)
            break;
        WriteLog("The switch is sent again (%d of %d)", sent + 1, settings.retries);
    }
    // The drivers are in place either way; the run is done only when the device came in its ports and the
    // launcher's mark is written: without it the returning CD-ROM starts the launcher's whole road again.
    // It is whole only when the old drivers' removal took everything away.
    ReachStep(marked ? StepAfterLook(look) : "status mark");
    bool done = look == SwitchLook::kPortsCame && marked && !ReachLeftoversStep();
    EndRun(done ? RunEnd::kDone : RunEnd::kStepFailed);
    if (EndsWithFinalWindow(dlg.m_nDoType))
        FinishInstall(dlg);
    else
        RunStartupProgram(dlg);
    return 1;
}
