#!/usr/bin/env bash
# The shipped installer, run from the temp folder on Windows 7 (32-bit) while the device shows its
# multi-port identity (modem, serial and ADB interfaces) and its CD-ROM: it compares the installed drivers
# with the package's. With every driver current it says so in a message box and ends; with one outdated
# driver it takes the window road to the update worker.
# Wine reads the version of every installed driver as 0, so "current" is a profile whose versions are 0.
# Usage: installer_checks_the_drivers_of_the_multiport_device.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win32 6.1 7601.17514.x86fre.win7sp1_rtm.101119-1850
add_multiport_device
device_cdrom E:
stage_package
staged=$STAGED
profile="$PACKAGE/drvcfg.ini"

# versions MODEM SERIAL ADB: the package's driver versions in the medium's profile.
versions() {
    sed -i "0,/^Key_ModemHwIdVersion=/s/^Key_ModemHwIdVersion=.*/Key_ModemHwIdVersion=$1\r/;
            0,/^Key_SerialHwIdVersion=/s/^Key_SerialHwIdVersion=.*/Key_SerialHwIdVersion=$2\r/;
            0,/^Key_AdbHwIdVersion=/s/^Key_AdbHwIdVersion=.*/Key_AdbHwIdVersion=$3\r/" "$profile"
}

versions 0.0.0.0 0 0.0
log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$staged/Instoria.exe" E: 4
check "with every driver current the user is told so" wintool answer "$BOX_TITLE"
check "in the box's words" tool_printed 'text The drivers of your Palvio device are installed and up to date.'
finish
check "the device was not found in its storage identity" log_new_has 'Not finded the device(usb\vid_2f5e&pid_7a01)'
check "so the three drivers were checked" log_new_count '>> Begin to Check version' 3
check "the modem's among them" \
    log_new_has '>> Begin to Check version: device hwid is usb\vid_2f5e&pid_7a01&mi_00 ; version is 0.0.0.0.'
check "none needs an update" log_new_count "LastestDriverVersion <= CurrentDriverVersion. Don\`t need update." 3
check "the installer says so and ends" log_new_has 'Driver has been installed '
check "without its window" log_new_lacks 'Create Mutex'
check "after the exit line" log_new_has 'Exit Programm Instoria'

versions 0.0.0.0 0 1.0.4.2
log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$staged/Instoria.exe" E: 4
check "with the ADB driver outdated the window comes" wintool wait "$WINDOW_TITLE"
check "the update was found" log_new_has 'Driver need update. Update is running...'
# Wine's own newdev.dll answers every update with success.
check "the update worker asks for a restart in the end" wintool answer "$BOX_TITLE"
finish
check "after updating the ADB driver alone" positions_are '50 100 100'
check "and the installer ends" log_new_has 'BOOL CInstoriaApp::InitInstance() end'

scenario_end
