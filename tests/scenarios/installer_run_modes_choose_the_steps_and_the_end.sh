#!/usr/bin/env bash
# The run modes of the staged installer's install road on Windows 7 (32-bit), with the fast-clock twin (its
# pauses 20 times shorter) and the device doubles: mode 1 installs, marks the status file and ends with the
# start-up tool instead of the final window (an old INF copy it cannot read makes its end status 1, naming the
# copy); an INF that Windows refuses, and an edition folder whose only subfolder is empty, end it with status
# 1 at the placement; with the status file a link to system.ini (which another program of the user can plant
# there for the elevated installer to write through) system.ini stays as it was, the file is refused and the
# run does not end as done; mode 5 only switches the device: no driver file is touched and no mark is left.
# Neither Enter nor Escape closes the window, a press anywhere on it moves it; a close from outside while the
# worker waits for the device stops the worker and ends the program at once (with the shipped installer of
# normal speed, whose waits are long enough to be caught).
# Usage: installer_run_modes_choose_the_steps_and_the_end.sh SHIP_TREE_I686 SHIP_TREE_X86_64
FAST_CLOCK=1
. "$(dirname "$0")/installer.sh"

installer_begin win32 6.1 7601.17514.x86fre.win7sp1_rtm.101119-1850
use_doubles LetterGoesAfter=300 LetterComesBackAfter=1200
add_storage_device
device_cdrom E:
stage_package
status="$TEMP_DIR/QvInstallDriveCfg.ini"
drivers="$DRIVE_C/windows/system32/drivers"

# run_mode MODE: the staged installer, started with the drive and that run mode, until it ends; the INF
# copies it registered named as Windows names them.
run_mode() {
    WINE_PROGRAM_AS="$TEMP_WIN\\Driver\\Instoria.exe" run "$STAGED/Instoria.exe" E: "$1"
    own_copy
    name_inf_copies_as_windows
}

# An INF whose catalog file is missing, which Wine refuses as a missing file (64-bit Windows refuses any
# unsigned package): the other INFs are still registered, and the install ends there, naming it, with the
# device unswitched: the CD-ROM stays for the next run.
printf '[Version]\r\nSignature="$Windows NT$"\r\nClass=Ports\r\nCatalogFile=gone.cat\r\n' >"$PACKAGE/Win7/qvgone.inf"
log_mark
run_mode 1
check "the refused INF is named with what its refusal means" log_new_has "ERROR: Windows refused the driver \
package $OWN_WIN\\Win7\\qvgone.inf: a file that its INF names is missing (error 2)."
check "the package's other INFs are registered" log_new_has \
    "INFO: Copy inf file OK, File: $OWN_WIN\\Win7\\qvmdm.inf; To: C:\\windows\\System32\\drivers\\."
check "the device is not switched" log_new_lacks 'Disk is refind'
check "the run ends with status 1 at the placement, naming the INF" \
    result_is 1 'driver placement: Windows refused qvgone.inf'
rm "$PACKAGE/Win7/qvgone.inf"

# An edition folder without its driver files, whose only subfolder is empty, holds no drivers anywhere.
away=$(mktemp -d)
mv "$PACKAGE"/Win7/*.sys "$away"
mkdir "$PACKAGE/Win7/x86"
log_mark
run_mode 1
check "an edition folder with an empty subfolder fails the placement" all \
    "log_new_has 'ERROR: FindFirstFile fail // CopySysFile.'" "result_is 1 'driver placement'"
rmdir "$PACKAGE/Win7/x86"
mv "$away"/*.sys "$PACKAGE/Win7/"
rmdir "$away"

# An INF copy held by a program that shares it with nobody may be the old drivers': it stays, and the install
# goes on without being whole.
mkdir -p "$DRIVE_C/windows/inf"
printf '[Models]\r\n' >"$DRIVE_C/windows/inf/oem90.inf"
check "another program holds an INF copy" hold lock 'C:\windows\inf\oem90.inf' 60000
log_mark
run_mode 1 # the holder ends with the simulated PC
check "mode 1 places the drivers and switches the device" \
    positions_are '1 5 10 20 40 41 42 43 44 45 50 55 80 90 100'
check "the package's driver files are in place" cmp -s "$OWN/Win7/qvusbser.sys" "$drivers/qvusbser.sys"
check "the status file marks the install" file_has_line "$status" 'status=0'
check "the start-up tool runs with the mode" line_comes "$OWN/Bootrel.journal" 'Bootrel 1'
check "which is logged" log_new_has 'Run startup program with para(1) success'
# An elevated installer under user account control would start it through the desktop's shell, with the
# user's rights; Wine's token says the installer is not elevated, so it starts the tool itself, and says so.
check "with the rights it was started with" log_new_has \
    "INF: $OWN_WIN\\Bootrel.exe is started by this installer, which runs with the user's own rights"
check "instead of the final window" log_new_lacks 'Waiting for 3s'
check "and the program ends" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "with status 1, naming the copy the removal could not read" \
    result_is 1 'removal left C:\windows\Inf\oem90.inf (unreadable)'

# A Linux link, which Wine follows where Windows would open the link itself (and refuse it as one).
system_ini="$DRIVE_C/windows/system.ini"
before=$(md5sum <"$system_ini")
rm -f "$status"
ln -s "$system_ini" "$status"
add_storage_device
log_mark
run_mode 1
check "with the status file a link to system.ini the road goes on" log_new_has 'Disk is refind'
check "system.ini is as it was" [ "$(md5sum <"$system_ini")" = "$before" ]
check "the status file is refused" log_new_has \
    "ERR: The install status file $TEMP_WIN\\QvInstallDriveCfg.ini is refused: it leads to a file at another path; it is not written"
check "and the run ends with status 1 at the mark" all "status_is 1" \
    "log_new_has 'Instoria ends with status 1 after the step: status mark'"
rm -f "$status"

# Mode 5: the drivers are there already (a file of our own stands for them).
rm -f "$status"
echo "installed before" >"$drivers/qvusbser.sys"
add_storage_device
log_mark
run_mode 5
check "mode 5 goes from 1 straight to the pause" positions_are '1 41 42 43 44 45 50 55 80 100'
check "it sets the TCP receive window all the same" log_new_has 'Set Key:Tcpip\Parameters\TcpWindowSize=0x00020000'
check "it touches no driver" all "log_new_lacks 'Driver setup dir'" "log_new_lacks 'Remove driver'" \
    "log_new_lacks 'Close CDROM Folders'" "file_has_line '$drivers/qvusbser.sys' 'installed before'"
check "it switches the device" log_new_has 'Disk is refind'
check "and leaves no status mark" no_status_mark
check "then starts the start-up tool with 5" line_comes "$OWN/Bootrel.journal" 'Bootrel 5'

# A device whose letter does not go, with the installer of normal speed: the worker waits for the drive
# letter (60 s at most) while the window is pressed and closed.
cp "$SHIP_I686/installer/Instoria.exe" "$STAGED/Instoria.exe"
device_play "$PACKAGE" LetterGoesAfter=-1
add_storage_device
log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$STAGED/Instoria.exe" E: 5
check "the worker waits for the drive letter to go" log_wait 'Process setup 55...' 120
check "Escape and Enter reach the window" wintool press "$WINDOW_TITLE" escape press "$WINDOW_TITLE" return
check "and do not close it" wintool wait "$WINDOW_TITLE"
check "the worker still waits" log_new_lacks 'BOOL CInstoriaApp::InitInstance() end'
check "a press anywhere on the window moves it" wintool drag "$WINDOW_TITLE" 120 80
check "by as much as the mouse moved" tool_printed 'window at 120 80'
check "a close from outside ends the installer" wintool close "$WINDOW_TITLE" gone Instoria.exe
closed=$(gone_after)
check "at once (${closed} ms)" [ "${closed:-99999}" -lt 3000 ]
finish
check "the window waited for the worker" log_new_has \
    'INF: The window closes while the worker runs; the worker stops at its next pause'
check "which stopped in its wait" log_new_has 'INF: The worker has stopped'
check "before the program ended" [ "$(log_new | grep -n 'INF: The worker has stopped' | cut -d: -f1)" -lt \
    "$(log_new | grep -n 'InitInstance() end' | cut -d: -f1)" ]
check "nothing after the wait ran" all "log_new_lacks 'Disk is removed OK'" "log_new_lacks 'Process setup 80'"
check "and no mark was left" no_status_mark

scenario_end
