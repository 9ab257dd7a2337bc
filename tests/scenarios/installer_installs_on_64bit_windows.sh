#!/usr/bin/env bash
# The install road of the 64-bit installer (Instoria64.exe, fast-clock twin) on Windows 7 64-bit, run mode 2:
# the 64-bit edition folder's drivers land in the native system folder, the device switches (the portflip
# double, a 32-bit program, plays it), the status file is marked and the start-up tool runs with 2. A
# usbser.sys the package carries does not replace Windows' own.
# Usage: installer_installs_on_64bit_windows.sh SHIP_TREE_I686 SHIP_TREE_X86_64
FAST_CLOCK=1
. "$(dirname "$0")/installer.sh"

installer_begin win64 6.1 7601.17514.amd64fre.win7sp1_rtm.101119-1850
use_doubles LetterGoesAfter=300 LetterComesBackAfter=1200
add_storage_device
device_cdrom E:
# Windows' own drivers, and a package that carries a usbser.sys of its own: Windows' file stays.
sim windows-own-drivers vista || exit 1
printf "the package's usbser.sys" >"$MEDIUM/Driver/Win7-AMD64/usbser.sys"
stage_package
LOG_NAME=Instoria64

log_mark
WINE_PROGRAM_AS="$TEMP_WIN\\Driver\\Instoria64.exe" run "$STAGED/Instoria64.exe" E: 2
own_copy
check "the 64-bit installer runs the whole road" positions_are '1 5 10 20 40 41 42 43 44 45 50 55 80 90 100'
check "from the 64-bit edition folder" log_new_has "Driver setup dir: $OWN_WIN\\Win7-AMD64"
check "into the native system folder" \
    cmp -s "$OWN/Win7-AMD64/qvusbser.sys" "$DRIVE_C/windows/system32/drivers/qvusbser.sys"
check "not into the 32-bit programs' one" test ! -e "$DRIVE_C/windows/syswow64/drivers/qvusbser.sys"
check "Windows' own usbser.sys is not replaced" all "grep -qx \"Windows' own usbser.sys\" '$DRIVE_C/windows/system32/drivers/usbser.sys'" \
    "log_new_has \"INFO: C:\\windows\\system32\\drivers\\usbser.sys is Windows' own file (Windows' INF mdmcpq.inf names it); the package's copy does not replace it\""
check "the device switched" log_new_has 'Disk is refind'
check "the status file is marked" file_has_line "$TEMP_DIR/QvInstallDriveCfg.ini" 'status=0'
check "the start-up tool runs with the mode" line_comes "$OWN/Bootrel.journal" 'Bootrel 2'
check "and the program ends" log_new_has 'BOOL CInstoriaApp::InitInstance() end'

scenario_end
