#!/usr/bin/env bash
# The staged installer on Windows XP when the device's switch goes wrong: without portflip.exe the switch
# cannot be asked for, and the window ends about 2 s after the failure (shipped installer, normal speed, mode
# 5); a drive letter that never goes and one that never comes back end the install at the 60 s limit, which
# counts over both waits (fast-clock twin), and a switch tool that hangs is given up at its 60 s limit. No
# status mark is left. A device whose letter comes back in its CD-ROM mode is told apart by its identity;
# with [Switch] Retries the switch is sent again.
# Usage: installer_ends_when_the_device_does_not_switch.sh SHIP_TREE_I686 SHIP_TREE_X86_64
FAST_CLOCK=1
. "$(dirname "$0")/installer.sh"

installer_begin win32 5.1
use_doubles
add_storage_device
device_cdrom E:
stage_package
status="$TEMP_DIR/QvInstallDriveCfg.ini"

# The tool is missing; the installer of normal speed shows the 2 s before the end.
mv "$STAGED/Instoria.exe" "$STAGED/Instoria.fast"
cp "$SHIP_I686/installer/Instoria.exe" "$STAGED/Instoria.exe"
mv "$PACKAGE/portflip.exe" "$PACKAGE/portflip.away"
log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$STAGED/Instoria.exe" E: 5
check "without portflip the switch fails" \
    log_wait 'switch_3_port(): notify mobile to switch cd_rom to three_port fail' 60
failed=$(date +%s%N)
finish
ended=$(( ($(date +%s%N) - failed) / 1000000 ))
own_copy
check "and the installer ends about 2 s later (${ended} ms)" [ "$ended" -ge 1800 -a "$ended" -le 4000 ]
check "the shell's error is logged" log_new_has \
    "ERR: ShellExecuteEx $OWN_WIN\\portflip.exe (-switch -cdrom:E:) error,last error:2..."
check "through the window" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "before the device's CD-ROM was touched" log_new_lacks 'Del CD ROM'
mv "$STAGED/Instoria.fast" "$STAGED/Instoria.exe"
mv "$PACKAGE/portflip.away" "$PACKAGE/portflip.exe"

# A switch tool that hangs (a device that never answers it): the worker gives it 60 s (3 s on the fast
# clock), then fails as for a tool that cannot be started, and the window ends 2 s later.
printf '%s\r\n' '[Answer]' 'EndsAfter=600000' '[Play]' 'Modes=-none' >"$PACKAGE/portflip.ini"
log_mark
WINE_PROGRAM_AS="$TEMP_WIN\\Driver\\Instoria.exe" run "$STAGED/Instoria.exe" E: 4
own_copy
check "a hanging switch tool is given up at its limit" \
    log_new_has "ERR: RunClientSetup: $OWN_WIN\\portflip.exe has not ended within 60 s; it is left running"
check "as a switch that failed" log_new_has 'switch_3_port(): notify mobile to switch cd_rom to three_port fail'
check "the window ends the program" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "with status 1 at the switch" result_is 1 switch
check "before the device's CD-ROM was touched" log_new_lacks 'Del CD ROM'
check "no mark is left" no_status_mark
check "the tool had been asked to switch" file_has_line "$OWN/portflip.journal" 'portflip -switch -cdrom:E:'
wine_exec "$PREFIX" "$DRIVE_C/windows/system32/taskkill.exe" /f /im portflip.exe >/dev/null 2>&1

# never PLAY...: the installer in mode 4 while the device plays its switch so (a step of -1 is left out).
never() {
    device_play "$PACKAGE" "$@"
    rm -f "$status"
    log_mark
    WINE_PROGRAM_AS="$TEMP_WIN\\Driver\\Instoria.exe" run "$STAGED/Instoria.exe" E: 4
    own_copy
}

never LetterGoesAfter=-1
# The fast clock reads the time in steps of 20 ms of its own: the wait may pass the limit by a second.
check "a letter that never goes ends the wait after 60 s" \
    any "log_new_has 'Wait for del cdrom E: fail. Time interval is 60 second.'" \
    "log_new_has 'Wait for del cdrom E: fail. Time interval is 61 second.'"
check "the window ends the program" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "no mark is left" no_status_mark
check "and the worker went no further" log_new_lacks 'Disk is removed OK'

add_storage_device
never LetterGoesAfter=300 LetterComesBackAfter=-1
check "a letter that never comes back" log_new_has 'Disk is removed OK'
check "ends the wait at the limit" log_new_has 'Wait for cdrom E: display fail'
check "the window ends the program" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "no mark is left" no_status_mark
check "and no final window came" log_new_lacks 'Disk is refind'

# unswitched: the device in its CD-ROM mode, none of its ports present, that comes back once unswitched.
unswitched() {
    sim device-remove --hwid "$DEVICE_HWID"
    sim device-remove --hwid 'usb\vid_2f5e&pid_7a01&mi_00'
    sim device-remove --hwid 'usb\vid_2f5e&pid_7a01&mi_01'
    add_storage_device
    device_cdrom E:
    # The letter stays away long enough for a busy PC to see it gone after the switch sent again.
    never UnswitchedPlays=1 LetterComesBackAfter=1500
}
switches() { [ "$(grep -c '^portflip -switch' "$OWN/portflip.journal")" = "$1" ]; }

unswitched
check "a letter that comes back with the storage identity is a device that did not switch" \
    log_new_has 'The device came back unswitched: its storage identity is present'
check "without [Switch] it is not asked again" switches 1
check "the launcher's mark is written as before" file_has_line "$status" 'status=0'
check "the run ends with status 1" result_is 1 'came back unswitched'

set_profile "$PACKAGE/drvcfg.ini" Switch Retries 1
unswitched
check "with Retries=1 the switch is sent again" log_new_has 'The switch is sent again (1 of 1)'
check "twice in all" switches 2
check "and the ports that came are logged" \
    log_new_has 'The device came back switched: its modem and serial ports are present'
check "the run is done" result_is 0 'ports came'

scenario_end
