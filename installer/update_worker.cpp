#include "update_worker.h"

#include "device_settle.h"
#include "instoria_dlg.h"
#include "placement.h"
#include "removal.h"
#include "run_outcome.h"
#include "startup.h"

#include "common/log.h"
#include "common/newer_api.h"
#include "common/profile.h"
#include "common/text.h"

#include <newdev.h>

namespace {

// Set when an update's answer asks for a restart.
bool g_bRestartAsked = false;

void ShowBox(const CInstoriaDlg& dlg, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), dlg.m_strBoxTitle.c_str(), MB_OK);
}

// One interface's update, between the progress positions around it. False when it failed or the worker
// is to stop.
bool UpdateInterface(CInstoriaDlg& dlg, const std::string& hardwareId, const char* folder,
                     const std::string& infName) {
    return !dlg.StopRequested() && UpdateOneDriver(hardwareId.c_str(), folder, infName.c_str(), dlg);
}

} // namespace

int UpdateProgressStep(int outdatedCount) {
    return 100 / (2 * (outdatedCount < 1 ? 1 : outdatedCount));
}

int UpdateOneDriver(const char* hardwareId, const char* folder, const char* infName, CInstoriaDlg& dlg) {
    char infPath[kPathRoom] = {};
    bool composed = FormatBounded(infPath, sizeof infPath, "%s\\%s", folder, infName);
    RemoveOemInfByHwId(hardwareId);
    if (!dlg.WorkerPause(1000))
        return 0;
    // An update that meets a pending device installation fails as "another installation is in progress".
    LetDeviceInstallationSettle();
    BOOL updated = FALSE;
    auto update = GetNewdevApi().UpdateDriverForPlugAndPlayDevicesA;
    if (!composed) {
        WriteLog("ERR: The INF path %s\\%s is longer than %u characters, refused", folder, infName,
                 static_cast<unsigned>(kPathRoom - 1));
    } else if (!update) {
        WriteLog("ERR: UpdateDriverForPlugAndPlayDevicesA cannot be found in newdev.dll");
    } else {
        // The user is asked to restart after every update road; the answer goes into the exit status.
        BOOL reboot = FALSE;
        updated = update(nullptr, hardwareId, infPath, INSTALLFLAG_FORCE, &reboot);
        if (updated && reboot) {
            WriteLog("Windows asks for a restart after the update of %s", hardwareId);
            g_bRestartAsked = true;
        }
    }
    if (updated)
        return 1;
    dlg.ShowWindow(SW_HIDE);
    ShowBox(dlg, dlg.m_strUpdateFailed);
    dlg.EndFromWorker(true);
    return 0;
}

DWORD WINAPI UpdateDriverThreadProc(LPVOID parameter) {
    CInstoriaDlg& dlg = *static_cast<CInstoriaDlg*>(parameter);
    const DeviceProfileData& profile = DeviceProfile;
    WriteLog(">>UpdateDriverThreadProc begin");
    ReachStep("driver update");
    dlg.SetShowText(dlg.m_strUpdating);
    dlg.m_progress.ShowWindow(SW_HIDE);
    dlg.m_btnClose.ShowWindow(SW_HIDE);
    dlg.Invalidate(TRUE);
    dlg.UpdateWindow();

    int outdated = (g_bModemUpdate ? 1 : 0) + (g_bSerialUpdate ? 1 : 0) + (g_bAdbUpdate ? 1 : 0);
    if (!dlg.WorkerPause(1000))
        return 0;
    int step = UpdateProgressStep(outdated);
    char modemAndSerial[kPathRoom] = {};
    // Not looked at: without the folder the update finds no INF and fails as such.
    GetDriverSrcDir(modemAndSerial);
    int position = step;
    if (g_bModemUpdate) {
        dlg.SetProgress(step);
        if (!UpdateInterface(dlg, profile.ModemHwId, modemAndSerial, profile.ModemInfName))
            return 0;
        dlg.SetProgress(2 * step);
        position = 3 * step;
    }
    if (g_bSerialUpdate) {
        dlg.SetProgress(position);
        position += step;
        if (!UpdateInterface(dlg, profile.SerialHwId, modemAndSerial, profile.SerialInfName))
            return 0;
        dlg.SetProgress(position);
        position += step;
    }
    if (g_bAdbUpdate) {
        char adb[kPathRoom] = {};
        GetDriverSrcDir(adb);
        dlg.SetProgress(position);
        position += step;
        if (!UpdateInterface(dlg, profile.AdbHwId, adb, profile.AdbInfName))
            return 0;
        dlg.SetProgress(position);
    }
    dlg.SetProgress(100);
    ReachStep("end");
    EndRun(g_bRestartAsked ? RunEnd::kDoneRestart : RunEnd::kDone);
    if (!dlg.WorkerPause(2000))
        return 0;
    dlg.ShowWindow(SW_HIDE);
    ShowBox(dlg, dlg.m_strRestartNotation);
    WriteLog("<<UpdateDriverThreadProc end");
    dlg.EndFromWorker(true);
    return 1;
}
