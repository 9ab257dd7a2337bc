#!/usr/bin/env bash
# The device pulled out while the staged installer (fast-clock twin, mode 4, Windows XP) replaces its
# drivers: the placement works from the installer's own copy of the package, so it finishes; the switch request
# goes to a device that is gone; the CD-ROM's letter is already gone, and since it never comes back the
# install ends at the 60 s limit through its window, with no mark for the launcher. Nothing half-done is
# reported as done.
# Usage: installer_copes_with_the_device_unplugged.sh SHIP_TREE_I686 SHIP_TREE_X86_64
FAST_CLOCK=1
. "$(dirname "$0")/installer.sh"

installer_begin win32 5.1
use_doubles Modes=-none
add_storage_device
device_cdrom E:
stage_package
status="$TEMP_DIR/QvInstallDriveCfg.ini"
drivers="$DRIVE_C/windows/system32/drivers"

log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$STAGED/Instoria.exe" E: 4
check "the worker removes the old drivers" log_wait 'Process setup 20...' 60
sim drive-remove E: >/dev/null
sim device-remove --hwid "$DEVICE_HWID" >/dev/null
finish
own_copy
check "the new drivers are placed all the same, from the own copy" log_new_has 'Install driver Files OK'
check "and are in Windows" cmp -s "$OWN/Win7/qvusbser.sys" "$drivers/qvusbser.sys"
check "the switch request is made" file_has_line "$OWN/portflip.journal" 'portflip -switch -cdrom:E:'
check "the letter is found gone" log_new_has 'Disk is removed OK'
check "it never comes back: the wait ends at the limit" log_new_has 'Wait for cdrom E: display fail'
check "the window ends the program" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "no mark is left for the launcher" no_status_mark
check "and no final window came" log_new_lacks 'Disk is refind'

scenario_end
