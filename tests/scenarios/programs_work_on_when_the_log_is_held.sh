#!/usr/bin/env bash
# The shared log held by another program, on Windows XP, with "/uninstall" of the shipped installer's
# fast-clock twin (a road without a window, of some forty log lines): with the file open and shared with
# nobody, the installer still does its work and ends, losing only its lines; with the writers' mutex taken
# by a program that hangs, it waits for it once, then writes without it, and ends in seconds, not the
# 2 s per line of waiting for each; its lines are all there.
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

# hold STEP NAME MS: wintool holds the log file (lock) or the writers' mutex (own) in the background, and
# the script goes on once it does.
hold() {
    rm -f "$PREFIX/hold.out"
    wine_exec "$PREFIX" "$WINTOOL" "$1" "$2" "$3" >"$PREFIX/hold.out" 2>&1 &
    HOLDER=$!
    for ((i = 0; i < 300; i++)); do
        grep -a -e '^locked' -e '^owned' "$PREFIX/hold.out" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "  the holder did not start: $(cat "$PREFIX/hold.out")"
    false
}
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

scenario_end
