// The four main buttons: the two application buttons make sure their application is installed and current
// through the plug-in library, that the device's driver is in use (else they hand the device to the
// installer) and offer a driver update, then start the application; the SD and MTP buttons run the
// mode-switch tool. Each hides the window while it works and then closes it or shows it again.
#include "palvio_dlg.h"

#include "driver_check.h"
#include "mode_switch_command.h"

#include "common/admin.h"
#include "common/clock.h"
#include "common/devices.h"
#include "common/log.h"
#include "common/processes.h"
#include "common/profile.h"

int CPalvioDlg::ShowInstallCdPrompt() {
    MessageBoxA(m_hWnd, m_strPleaseInstallCd.c_str(), RunningProgramName().c_str(), MB_ICONINFORMATION);
    Show();
    return 1;
}

void CPalvioDlg::BeginWork() {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    ShowWindow(SW_HIDE);
}

void CPalvioDlg::Close() {
    OnCancel();
}

void CPalvioDlg::Show() {
    // A window whose medium went meanwhile closes as soon as the handler returns: it is not shown again.
    if (!m_bCloseDeferred)
        ShowWindow(SW_SHOWNORMAL);
}

bool CPalvioDlg::StepSucceeds(const char* line, PluginQueryFunction step) {
    if (line)
        WriteLog("%s", line);
    if (step())
        return true;
    Show();
    return false;
}

bool CPalvioDlg::EnsureDriver(int installerMode) {
    const bool palvio = installerMode == 1;
    // The dial-up button asks for the device before it looks at the lite switch.
    int absent = palvio ? 0 : m_pDriverPrepare->IsDeviceAbsent();
    if (palvio)
        WriteLog("Run CheckDriverSetup");
    if (m_strUseDriverLite == "yes") {
        ShowInstallCdPrompt();
        return false;
    }
    if (palvio)
        absent = m_pDriverPrepare->IsDeviceAbsent();
    if (!absent) {
        // The device still shows its storage identity: its driver is not in use.
        WriteLog("Palvio or Dialup is running , but driver isn`t install.");
        if (call_instoria(installerMode) == 0)
            Close();
        else
            Show();
        return false;
    }
    if (CheckAdmin()) {
        const DeviceProfileData& profile = DeviceProfile;
        int update = CheckDriverVersion(profile.ModemHwId.c_str(), profile.ModemHwIdVersion);
        if (!update)
            update = CheckDriverVersion(profile.SerialHwId.c_str(), profile.SerialHwIdVersion);
        if (update &&
            MessageBoxA(m_hWnd, m_strDriverUpdateNotation.c_str(), m_strDriverUpdateNotationTitle.c_str(),
                        MB_YESNO | MB_ICONINFORMATION) == IDYES)
            m_pDriverPrepare->RunPackageSetup(6);
    }
    return true;
}

void CPalvioDlg::OnButSorvane() {
    WriteLog("void CPalvioDlg::OnButSorvane()  begin");
    WriteLog("Run m_FunPalvioIsEnable");
    if (!m_FunPalvioIsEnable()) {
        WriteLog("Fun Palvio Is not Enable");
        Close();
        return;
    }
    WriteLog("Fun Palvio Is Enable");
    BeginWork();

    WriteLog("Run InitalDriverSetup");
    if (!m_pDriverPrepare->AutoRun_CopyAllFiles()) {
        Show();
        return;
    }
    WriteLog("Run m_FunCheckPalvioPrgInstall");
    if (!m_FunCheckPalvioPrgInstall()) {
        if (m_strUsePalvioLite == "yes") {
            ShowInstallCdPrompt();
            return;
        }
        WriteLog("Run CheckAdmin");
        if (!CheckAdminPrompt(1)) {
            Show();
            return;
        }
        if (!StepSucceeds("Run m_FunInstallPalvio", m_FunInstallPalvio) ||
            !StepSucceeds("Run m_FunCheckPalvioPrgInstall", m_FunCheckPalvioPrgInstall))
            return;
    }
    // A user without administrator rights keeps the application as it is.
    WriteLog("Run CheckAdmin");
    if (CheckAdminPrompt(0) && !StepSucceeds("Run m_FunUpdatePalvio", m_FunUpdatePalvio))
        return;
    if (!StepSucceeds("Run m_FunCheckPalvioPrgInstall", m_FunCheckPalvioPrgInstall))
        return;
    if (!EnsureDriver(1))
        return;
    WriteLog("Run m_FunRunPalvio");
    if (m_FunRunPalvio())
        Close();
    else
        Show();
}

void CPalvioDlg::OnButDialup() {
    if (!m_FunDialIsEnable()) {
        Close();
        return;
    }
    BeginWork();

    WriteLog("Run InitalDriverSetup");
    if (!m_pDriverPrepare->AutoRun_CopyAllFiles()) {
        Show();
        return;
    }
    if (!m_FunCheckDialPrgInstall()) {
        if (m_strUseDailupLite == "yes") {
            ShowInstallCdPrompt();
            return;
        }
        if (!CheckAdminPrompt(1)) {
            Show();
            return;
        }
        if (!StepSucceeds(nullptr, m_FunInstallDialPrg) || !StepSucceeds(nullptr, m_FunCheckDialPrgInstall))
            return;
    }
    if (CheckAdminPrompt(0) && !StepSucceeds(nullptr, m_FunUpdateDial))
        return;
    if (!StepSucceeds(nullptr, m_FunCheckDialPrgInstall))
        return;
    if (!EnsureDriver(2))
        return;
    if (m_FunRunDial())
        Close();
    else
        Show();
}

void CPalvioDlg::RunModeSwitch(const char* action) {
    BeginWork();
    char folder[kPathRoom] = {};
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length >= sizeof folder)
        folder[0] = '\0';
    char tool[kPathRoom] = {}, parameters[kPathRoom] = {};
    if (!ComposeModeSwitchCommand(folder, m_pDriverPrepare->m_strDriverPath, action, tool, parameters)) {
        WriteLog("ERR: The path of portflip.exe in %s does not fit; nothing is run", folder);
        Show();
        return;
    }
    if (!IsFileExist(tool)) {
        WriteLog("Err: file(%s) isn't exist!", tool);
        ClockSleep(500);
        Show();
        return;
    }
    RunClientSetup(tool, parameters);
    Close();
}

void CPalvioDlg::OnButChangeUsb() {
    WriteLog("CPalvioDlg::OnButChangeUsb() begin");
    RunModeSwitch("-close");
}

void CPalvioDlg::OnButMtp() {
    RunModeSwitch("-mtp");
}
