#!/usr/bin/env bash
# make try as a device maker runs it: the sample medium, assembled with the fast-clock twins of the programs,
# played on a simulated Windows XP PC from its ISO image with the plug-in double; then the same medium as a
# folder whose portflip.ini names no command for the switch (the installer takes the tool's end for a switch
# and waits for the letter in vain). The first try runs the road to its end and reports what the PC holds;
# the second ends with status 1 and names the cause.
# Usage: try_plays_a_makers_medium.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/../scenarios/scenario.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

python3 "$HERE/../../package/make_medium.py" "$1" "$2" "$WORK/medium" --fast --iso "$WORK/medium.iso" 2>/dev/null ||
    { echo "FAIL: the medium could not be assembled"; exit 1; }
try() { FAST_CLOCK=1 "$HERE/run-try" --plugin double "$1" "$SUITE_TEST_TREE32" "$SUITE_TEST_TREE64" "$WORK/try" >"$WORK/out.txt" 2>&1; }
report_has() { grep -qxF -- "$1" "$WORK/try/report.txt" || { echo "  no line '$1' in:"; sed 's/^/    /' "$WORK/try/report.txt"; false; }; }
state_has() { grep -qxF -- "$1" "$WORK/try/state.txt" || { echo "  no line '$1' in:"; sed 's/^/    /' "$WORK/try/state.txt"; false; }; }

try "$WORK/medium.iso"
tried=$?
check "the sample medium's ISO plays the first plug-in to its end" eval '[ $tried = 0 ] || { cat "$WORK/out.txt"; false; }'
check "every phase came" all "report_has 'The road ran to its end.'" "report_has '16 of 16 phases came.'"
check "both windows were captured" test -s "$WORK/try/screenshots/launcher.png" -a -s "$WORK/try/screenshots/installer.png"
check "the PC holds the registered INFs and the placed driver" all "state_has qvmdm.inf" "state_has qvser.inf" \
    "state_has qvusbser.sys"
check "and the device in its ports, and the launcher's mark consumed" all \
    "grep -q '^USB.VID_2F5E&PID_7A01&MI_00.PORTFLIP' '$WORK/try/state.txt'" "state_has 'status=1'" \
    "state_has 'step=ports came'"
check "the switch was played with the medium's own command" \
    state_has 'portflip: the command for -switch is E5 01 00 00 00 00 00 00 00 00 00 00 (12 bytes)'
check "the page holds the screenshots, the phases and the whole log" all \
    "[ \$(grep -o 'data:image/png;base64' '$WORK/try/report.html' | wc -l) = 2 ]" \
    "grep -q 'launcher finds the mark and ends</td><td>[0-9]* s</td>' '$WORK/try/report.html'" \
    "grep -qF 'Instoria: InstallDriverThreadProc begin' '$WORK/try/report.html'"

sed -i '/^-switch=/d' "$WORK/medium/Driver/portflip.ini"
try "$WORK/medium"
tried=$?
check "a medium whose portflip.ini cannot switch the device fails the try" eval '[ $tried = 1 ] || cat "$WORK/out.txt"'
check "at the switch, and the report says why" all \
    "report_has '  NOT COME  The CD-ROM node is removed and its letter goes'" \
    "grep -qF \"likely cause: the medium's portflip.ini names no command for the switch\" '$WORK/try/report.txt'" \
    "state_has \"portflip: portflip.ini names no command for -switch that the tool can send ('')\""
check "no mark is left for the launcher" eval "! grep -q '^status=0' '$WORK/try/state.txt'"
scenario_end
