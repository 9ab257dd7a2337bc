#!/usr/bin/env bash
# The update road on Windows 7 (32-bit), fast-clock twin: the device shows its multi-port identity and the
# installed drivers are older than the package's. The installer deletes the stale INF copies of each outdated
# interface, lets Windows' device installation settle and updates it through newdev.dll (the test double,
# which journals each call, in the system folder), modem, serial, ADB in that order, then asks for a restart.
# A failed update is reported and ends the program; the interfaces after it are left alone. No status mark,
# no TCP setting. Windows 8.1 takes the same road with the edition folder of the profile's [Newer_Windows].
# Wine reads the version of every installed driver as 0: "current" is a profile version of 0.
# Usage: installer_updates_outdated_drivers.sh SHIP_TREE_I686 SHIP_TREE_X86_64
FAST_CLOCK=1
. "$(dirname "$0")/installer.sh"

installer_begin win32 6.1 7601.17514.x86fre.win7sp1_rtm.101119-1850
add_multiport_device
device_cdrom E:
stage_package
newdev="$DRIVE_C/windows/system32/newdev.dll"
journal="$DRIVE_C/windows/system32/newdev.journal"
cp "$DOUBLES/newdev/newdev.dll" "$newdev" || { echo "FAIL: no newdev.dll double in '$DOUBLES'"; exit 1; }
export WINE_EXTRA_OVERRIDES=newdev=n
status="$TEMP_DIR/QvInstallDriveCfg.ini"
serial='usb\vid_2f5e&pid_7a01&mi_01'

# versions MODEM SERIAL ADB: the package's driver versions in the medium's profile.
versions() {
    set_profile "$PACKAGE/drvcfg.ini" Section_Driver Key_ModemHwIdVersion "$1"
    set_profile "$PACKAGE/drvcfg.ini" Section_Driver Key_SerialHwIdVersion "$2"
    set_profile "$PACKAGE/drvcfg.ini" Section_Driver Key_AdbHwIdVersion "$3"
}
update() {
    rm -f "$journal"
    log_mark
    start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$STAGED/Instoria.exe" E: 4
}

versions 0.0.0.0 2.1.0.8 0
sim oeminf-place "$PACKAGE/Win7/qvser.inf" --number 7
update
check "with the serial driver outdated the installer asks for a restart" wintool answer "$BOX_TITLE" gone Instoria.exe
check "in the box's words" tool_printed 'text Please restart the computer to finish the driver update.'
finish
own_copy
check "the update worker ran" log_new_has '>>UpdateDriverThreadProc begin'
check "its positions were 50, 100 and 100" positions_are '50 100 100'
check "the stale INF copy naming the serial interface is gone" test ! -e "$DRIVE_C/windows/inf/oem7.inf"
check "one update, the serial driver's, forced, from the edition folder" \
    [ "$(tr -d '\r' <"$journal")" = "UpdateDriverForPlugAndPlayDevicesA $serial $OWN_WIN\\Win7\\qvser.inf 1" ]
check "to its end" log_new_has '<<UpdateDriverThreadProc end'
check "no status mark" no_status_mark
check "status 0" result_is 0 end
check "and no TCP setting on this road" log_new_lacks 'TcpWindowSize'

versions 2.1.0.8 2.1.0.8 1.0.4.2
# Windows asks for a restart after the ADB driver's update.
printf '%s\r\n' '[usb\vid_2f5e&pid_7a01&mi_02]' 'Reboot=1' >"$DRIVE_C/windows/system32/newdev.ini"
update
check "with all three outdated" wintool answer "$BOX_TITLE" gone Instoria.exe
finish
own_copy
check "the restart Windows asks for is logged" \
    log_new_has 'Windows asks for a restart after the update of usb\vid_2f5e&pid_7a01&mi_02'
check "and gives status 3010" result_is 3010 end
check "the positions rise by 16" positions_are '16 32 48 64 80 96 100'
check "three updates, modem, serial, ADB" [ "$(tr -d '\r' <"$journal" | cut -d' ' -f2 | tr '\n' ' ')" = \
    'usb\vid_2f5e&pid_7a01&mi_00 usb\vid_2f5e&pid_7a01&mi_01 usb\vid_2f5e&pid_7a01&mi_02 ' ]
check "the ADB driver's INF" file_has_line "$journal" \
    "UpdateDriverForPlugAndPlayDevicesA usb\\vid_2f5e&pid_7a01&mi_02 $OWN_WIN\\Win7\\qvadb.inf 1"

printf '%s\r\n' '[usb\vid_2f5e&pid_7a01&mi_00]' 'Result=0' 'LastError=3758096899' \
    >"$DRIVE_C/windows/system32/newdev.ini"
update
check "a failed modem update is reported" wintool answer "$BOX_TITLE" gone Instoria.exe
check "in the box's words" tool_printed 'text The drivers of your Palvio device could not be updated.'
check "and it is the only box" [ "$(grep -c '^text ' <<<"$TOOL_OUTPUT")" = 1 ]
finish
check "only the modem's update was tried" [ "$(tr -d '\r' <"$journal" | wc -l)" = 1 ]
check "the positions stop at the first" positions_are '16'
check "nothing after it" log_new_lacks '<<UpdateDriverThreadProc end'
check "the window ended the program" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "with status 1 at the update" result_is 1 'driver update'

# Windows 8.1 (32-bit) updates from the folder the profile's [Newer_Windows] names: here another of the
# package's, so that its use shows.
rm -f "$DRIVE_C/windows/system32/newdev.ini"
sim edition 6.3 9600.17031.x86fre.winblue_gdr.140221-1952 --build 9600
set_profile "$PACKAGE/drvcfg.ini" Newer_Windows Key_Folder Vista
versions 0.0.0.0 2.1.0.8 0
update
check "on Windows 8.1 the outdated serial driver asks for a restart" wintool answer "$BOX_TITLE" gone Instoria.exe
finish
own_copy
check "Windows 8.1 is named" log_new_has 'current system is Windows 8.1, build 9600'
check "the serial driver is updated from the section's folder" [ "$(tr -d '\r' <"$journal")" = \
    "UpdateDriverForPlugAndPlayDevicesA $serial $OWN_WIN\\Vista\\qvser.inf 1" ]

scenario_end
