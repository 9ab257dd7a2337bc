#!/usr/bin/env bash
# The shipped installer started by hand from the device's CD-ROM on Windows XP, whose Windows folder's temp,
# where it makes the folder of its own copy, lies on a disk with room for only part of the package (a 256 KB
# file system; the package is some 900 KB): the files that do not fit are named, the staging fails as a
# whole, and no staged installer is started from a package with files missing. With room again, the same
# start stages and starts the staged copy.
# Usage: installer_stages_nothing_on_a_full_disk.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win32 5.1
add_storage_device
device_cdrom E:
windows_temp="$DRIVE_C/windows/temp"
mount -t tmpfs -o size=256k tmpfs "$windows_temp" || { echo "FAIL: a small file system cannot be mounted here"; exit 1; }
trap 'umount "$windows_temp" 2>/dev/null; wine_prefix_end "$PREFIX"' EXIT
# The log lies there too: room kept for its lines, so that it still tells what the full disk refused.
touch "$LOG" && fallocate -n -l 96k "$LOG" || { echo "FAIL: room for the log cannot be kept"; exit 1; }

log_mark
WINE_PROGRAM_AS='E:\Driver\Instoria.exe' run "$MEDIUM/Driver/Instoria.exe"
check "the files that do not fit are named" log_new_starts 'ERR: CopyFile: E:\Driver\'
check "the staging fails as a whole" log_new_has 'InitalDriverSetup Failed'
check "saying how many files are missing" any \
    "log_new | grep -aE '^Instoria: ERR: [0-9]+ files of the package could not be staged; the staging failed$'"
check "no staged installer is started" log_new_lacks 'Call Instoria.exe in Windows temp dir.'
check "the installer ends with status 1 at the staging" result_is 1 staging

umount "$windows_temp"
log_mark
WINE_PROGRAM_AS='E:\Driver\Instoria.exe' run "$MEDIUM/Driver/Instoria.exe"
check "with room again the package is staged" log_new_has 'Call Instoria.exe in Windows temp dir.'
check "and the staged installer's window comes" wintool wait "$WINDOW_TITLE"
check "and closes when asked" wintool close "$WINDOW_TITLE" gone Instoria.exe

scenario_end
