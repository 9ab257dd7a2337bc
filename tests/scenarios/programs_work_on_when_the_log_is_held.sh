#!/usr/bin/env bash
# The shared log held by another program, on Windows XP, with "/uninstall" of the shipped installer's
# fast-clock twin (a road without a window, of some forty log lines): with the file open and shared with
# nobody, the installer still does its work and ends, losing only its lines; with the writers' mutex taken
# by a program that hangs, it waits for it once, then writes without it, and ends in seconds, not the
# 2 s per line of waiting for each; its lines are all there. With the log's name a link to win.ini, which
# another program of the PC can plant there for the elevated installer to write through (a Linux link, which
# Wine follows where Windows would open the link itself), win.ini is not written to and the installer says
# in the second log that it refused the log; a link that leads nowhere does not make the file at its end.
# Usage: programs_work_on_when_the_log_is_held.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win32 5.1
# A medium of the fast-clock twin, as the CD-ROM D: (an installer runs as administrator only from a folder
# that the user cannot change).
package="$PREFIX/fast-medium/Driver"
mkdir -p "$package"
cp -r "$MEDIUM/Driver/." "$package/"
cp "$SHIP_I686/fast/Instoria.exe" "$package/Instoria.exe"
sim cdrom-define D: "$PREFIX/fast-medium" --sign "$DEVICE_SIGN" || exit 1
drivers="$DRIVE_C/windows/system32/drivers"
log_win='C:\windows\temp\AutoRunLog.tmp'

earlier_driver=$(sed -n '/^\[Section_Palvio1\]/,/^$/s/^Key_UsbDriverName=\([^\r]*\)\r\{0,1\}$/\1/p' "$package/drvcfg.ini")
[ -n "$earlier_driver" ] || { echo "FAIL: the sample profile names no driver of its earlier product"; exit 1; }
# timed_uninstall: "/uninstall" with the earlier product's driver file in place, waited for; ELAPSED in ms.
timed_uninstall() {
    printf 'driver' >"$drivers/$earlier_driver"
    local started
    started=$(date +%s%N)
    run "$package/Instoria.exe" /uninstall
    ELAPSED=$((($(date +%s%N) - started) / 1000000))
}

# The log file open in another program that shares nothing.
log_mark
check "another program holds the log file" hold lock "$log_win" 40000
timed_uninstall
check "the installer still ends" status_is 0
check "having done its work" test ! -e "$drivers/$earlier_driver"
wait "$HOLDER"
log_mark
timed_uninstall
check "once the file is free its lines come again" log_new_has 'Remove driver, OK.'

# The writers' mutex owned by a program that hangs.
check "another program hangs with the writers' mutex" hold own PalvioInstoriaAutoRunLog 60000
log_mark
timed_uninstall
check "the installer ends" status_is 0
check "in seconds, not 2 s per line (${ELAPSED} ms)" [ "$ELAPSED" -lt 20000 ]
check "with its lines" all "log_new_has 'Remove driver, OK.'" "log_new_has 'Exit Programm Instoria'"
check "and its work done" test ! -e "$drivers/$earlier_driver"
kill "$HOLDER" 2>/dev/null
wait "$HOLDER" 2>/dev/null

second="$DRIVE_C/windows/temp/AutoRunLog2.tmp"
# second_has TEXT: a line of the second log holds TEXT; second_refuses REASON: its line that refuses the log.
second_has() {
    local lines
    lines=$(tr -d '\r' <"$second" 2>/dev/null)
    grep -qF -- "$1" <<<"$lines" || { echo "  no line with '$1' in the second log:"; sed 's/^/    /' <<<"$lines"; false; }
}
second_refuses() {
    second_has "Instoria: ERR: The log $log_win is refused: $1; this program's lines go to C:\windows\temp\AutoRunLog2.tmp"
}
win_ini="$DRIVE_C/windows/win.ini"
before=$(md5sum <"$win_ini")
rm -f "$LOG"
ln -s ../win.ini "$LOG"
timed_uninstall
check "with the log a link to win.ini the installer ends" status_is 0
check "having done its work" test ! -e "$drivers/$earlier_driver"
check "win.ini is as it was" [ "$(md5sum <"$win_ini")" = "$before" ]
check "the link is left in place" test -L "$LOG"
check "the second log says why the log was refused" second_refuses 'it leads to a file at another path'
check "and holds the installer's lines" all "second_has 'Instoria: Remove driver, OK.'" \
    "second_has 'Instoria: Exit Programm Instoria'"

rm -f "$LOG" "$second"
ln -s ../system32/planted.dll "$LOG"
timed_uninstall
check "with the log a link that leads nowhere the installer ends" status_is 0
check "the file at its end is not made" test ! -e "$DRIVE_C/windows/system32/planted.dll"
check "the second log says so" second_refuses 'it is a link'
rm -f "$LOG"

scenario_end
