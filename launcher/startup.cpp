#include "startup.h"

#include "driver_check.h"
#include "palvio_dlg.h"

#include "common/devices.h"
#include "common/edition.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/install_status.h"
#include "common/log.h"
#include "common/profile.h"

#include <windows.h>

namespace {

class SystemLaunchProbe : public LaunchProbe {
public:
    SystemLaunchProbe(CPalvioDlg& dlg, DeviceSnapshot& devices, InstalledDriverCheck& drivers)
        : m_dlg(dlg), m_devices(devices), m_drivers(drivers) {}
    // The device's storage identity, from the run's one look at the present devices.
    int StorageModePresent() override {
        int absent = 1;
        m_devices.Detect(DeviceProfile.ProductId.c_str(), DeviceProfile.MassCmpId.c_str(), &absent);
        return absent ? 0 : 1;
    }
    // From the sweep of the INF store that began before the devices were looked at.
    int DriverFilesInstalled() override { return m_drivers.IsDriverFileInstalled(); }
    int IsAdministrator() override { return m_dlg.CheckAdminPrompt(0); }
    int ApplicationRunning() override { return m_dlg.IsApplicationRunning(); }

private:
    CPalvioDlg& m_dlg;
    DeviceSnapshot& m_devices;
    InstalledDriverCheck& m_drivers;
};

// The road of drivers already in Windows: the package is staged anew and the staged installer asked to
// switch the device's ports.
BOOL SwitchPorts(CPalvioDlg& dlg) {
    std::string drive = MediumDrive();
    WriteLog("switch ports because of driver file is installed in system");
    if (!dlg.m_pDriverPrepare->AutoRun_CopyAllFiles())
        return FALSE;
    return dlg.m_pDriverPrepare->ShellExeTmpSetup(drive, 5) ? TRUE : FALSE;
}

// The window road: the texts of the system's language (else the default ones), then the window, modally.
BOOL RunWindow(CPalvioDlg& dlg) {
    WriteLog("dialog begin...");
    WORD language = GetSystemDefaultLangID();
    if (dlg.LoadLanguageText()) {
        WriteLog("Support LID 0x%04x language, use this language", language);
    } else {
        WriteLog("Not support LID 0x%04x language, use default language", language);
        if (!dlg.LoadDefaultLanguageText()) {
            WriteLog("Use default language error");
            return FALSE;
        }
    }
    if (CWinApp* app = CWinApp::Current())
        app->m_pMainWnd = &dlg;
    dlg.DoModal();
    WriteLog("dialog close");
    WriteLog("program success exit");
    return FALSE;
}

// Everything after the log is set up. The mutex is held until this returns, across the window.
BOOL RunStartup(CPalvioDlg& dlg) {
    if (!dlg.LoadProductDll())
        return FALSE;

    HANDLE created = CreateMutexA(nullptr, TRUE, dlg.m_strPrgMutex.c_str());
    DWORD error = GetLastError();
    ScopedHandle mutex(created);
    if (!mutex || error == ERROR_ALREADY_EXISTS) {
        WriteLog("INF: Mutex:%s is exist, close dialog", dlg.m_strPrgMutex.c_str());
        return TRUE;
    }
    WriteLog("INF: Create Mutex:%s success", dlg.m_strPrgMutex.c_str());

    CDriverPrepare_PcOptions& staging = *dlg.m_pDriverPrepare;
    if (!ReadDrvCfg(GetModuleDir() + staging.m_strDriverPath + "\\" + "drvcfg.ini", "Section_Driver"))
        return FALSE;

    std::string library = GetModuleDir() + staging.m_strDllModuleName;
    if (!dlg.m_FunInitialDllPara(library.c_str())) {
        WriteLog("ERR: InitialDllPara(%s) refused, program exit", library.c_str());
        return FALSE;
    }

    // The installer leaves 0 once it has switched the device and seen its CD-ROM come back; that return
    // starts this launcher, which has nothing to do but reset the mark for the next plug-in.
    if (EditionIsXpOrLater(g_nEdition)) {
        int status = ReadInstallStatus();
        WriteLog("driver install status is %d", status);
        if (status == 0) {
            WriteInstallStatus(1);
            return FALSE;
        }
    }

    if (staging.IsSetupRunning()) {
        WriteLog("Now is installing driver, program exit");
        return FALSE;
    }

    LaunchRoad road;
    {
        // The INF store is swept on other threads while one enumeration of the present devices serves the
        // card-reader look and the storage look; the sweep ends here, before any window.
        InstalledDriverCheck drivers;
        const DeviceProfileData& profile = DeviceProfile;
        DeviceSnapshot devices;
        int absent = 1;
        devices.Detect(profile.UDiskId.c_str(), profile.MassCmpId.c_str(), &absent);
        if (!absent) {
            WriteLog("INF: Phone is in readcard state");
            return FALSE;
        }
        SystemLaunchProbe probe(dlg, devices, drivers);
        road = ChooseLaunchRoad(probe);
    }
    switch (road) {
    case LaunchRoad::kSwitchPorts:
        return SwitchPorts(dlg);
    case LaunchRoad::kEndQuietly:
        return TRUE;
    case LaunchRoad::kInstallForRunning:
        return dlg.call_instoria(4) == 0 ? TRUE : FALSE;
    case LaunchRoad::kWindow:
        break;
    }
    return RunWindow(dlg);
}

} // namespace

LaunchRoad ChooseLaunchRoad(LaunchProbe& probe) {
    int storageMode = probe.StorageModePresent();
    if (storageMode && probe.DriverFilesInstalled()) {
        if (probe.IsAdministrator())
            return LaunchRoad::kSwitchPorts;
        WriteLog("No driver but driver files exist ,non-administrator");
    }
    if (!probe.ApplicationRunning())
        return LaunchRoad::kWindow;
    if (!storageMode)
        return LaunchRoad::kEndQuietly;
    WriteLog("Palvio or Dialup is running , but driver isn`t install.");
    return LaunchRoad::kInstallForRunning;
}

BOOL CPalvioApp::InitInstance() {
    CPalvioDlg dlg;
    InitLogFile();
    WriteLog("\n\n\nautorun begin...");
    BOOL result = RunStartup(dlg);
    dlg.FreeProductDll();
    return result;
}
