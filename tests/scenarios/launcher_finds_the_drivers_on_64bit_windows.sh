#!/usr/bin/env bash
# The shipped (32-bit) launcher on 64-bit Windows 7 and Vista tells whether the device's drivers are in
# Windows: an INF per interface with its twin, and the driver file in the native driver folder, where the
# 64-bit installer puts it; a file in the 32-bit view of that folder (SysWOW64) is not the driver. An INF
# without its twin does not count; one whose name is in capitals is its own twin. Vista 64-bit needs no
# driver file. With the drivers found, the staged 64-bit installer is asked to switch the ports.
# Usage: launcher_finds_the_drivers_on_64bit_windows.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win64 6.1 7601.17514.amd64fre.win7sp1_rtm.101119-1850
add_storage_device
inf_dir="$DRIVE_C/windows/inf"
oem_inf 5 "$MODEM_INF"
oem_inf 6 "$SERIAL_INF" --no-pnf
mkdir -p "$DRIVE_C/windows/syswow64/drivers"
cp "$MEDIUM/Driver/Win7/qvusbser.sys" "$DRIVE_C/windows/syswow64/drivers/qvusbser.sys"

log_mark
launch_start
check "without the serial INF's twin the drivers are not in Windows: the window" window_shows
check "the modem INF counts" log_new_has 'pnf C:\windows\Inf\oem5.Pnf exist'
check "the serial INF is found" \
    log_new_has 'inf(C:\windows\Inf\oem6.inf) with hardwardId(usb\vid_2f5e&pid_7a01&mi_01) and sys file(qvusbser.sys) exist'
check "but has no twin" log_new_lacks 'pnf C:\windows\Inf\oem6.Pnf exist'
check "so the driver file is not looked for" log_new_lacks 'sys file(C:'
check "the window closes when asked" window_closes

# An INF in capitals, no twin beside it: its twin's name is its own.
rm -f "$inf_dir/oem6.inf"
oem_inf 7 "$SERIAL_INF" --name OEM7.INF
log_mark
launch_start
check "the driver file only in SysWOW64: the window" window_shows
check "an INF named in capitals is its own twin" log_new_has 'pnf C:\windows\Inf\OEM7.INF exist'
check "the driver file in the 32-bit view is not the driver" \
    log_new_has 'Err:sys file(C:\windows\system32\drivers\qvusbser.sys) isn'"'"'t exist'
check "the window closes when asked" window_closes

# The driver in the native driver folder, as the 64-bit installer places it.
driver_file
log_mark
launch
check "the driver in the native folder is found" \
    log_new_has 'Inf: sys file(C:\windows\system32\drivers\qvusbser.sys) exist'
check "the staged 64-bit installer is started with 5" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria64.exe with parameter E: 5"
check "with the 64-bit drivers staged" all_exist "$TEMP_DIR/Driver/Win7-AMD64/qvusbser.sys"
check "its window closes when asked" installer_window_closes

# Vista 64-bit takes the INF files as enough.
sim edition 6.0 6002.18005.amd64fre.lh_sp2rtm.090410-1830
rm -f "$DRIVE_C/windows/system32/drivers/qvusbser.sys" "$DRIVE_C/windows/syswow64/drivers/qvusbser.sys"
log_mark
launch
check "Vista 64-bit without the driver file counts the drivers as in Windows" \
    log_new_has 'Inf: sys file(C:\windows\system32\drivers\qvusbser.sys) exist'
check "and starts the staged 64-bit installer with 5" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria64.exe with parameter E: 5"
check "with Vista's drivers" all_exist "$TEMP_DIR/Driver/Vista-AMD64/qvusbser.sys"
check "its window closes when asked" installer_window_closes

scenario_end
