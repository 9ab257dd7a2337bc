#!/usr/bin/env bash
# make try as a device maker runs it: the sample medium, assembled with the fast-clock twins of the programs,
# with a driver package as makers ship it in each edition folder (UTF-16 INFs with decorated models and
# catalogs, the drivers in per-architecture subfolders), played on a simulated 64-bit Windows 7 PC from its
# ISO image with its own plug-in library, which installs the Palvio application with the sample's setup; then
# the same medium as a folder, with the plug-in double on Windows XP, whose modem INF names another interface,
# with a link to a file outside it and a program of its own that tries to write on the machine; then its ISO
# image with an autorun.inf whose launcher lies outside the medium. The first try runs the road to its end,
# the next plug-in included, and reports what the PC holds, the application in the native Program Files
# with its uninstall entry in the native registry view among it; the second ends with status 1 and names the
# cause, and neither its link nor its program reaches outside the try; the third plays nothing.
# Usage: try_plays_a_makers_medium.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/../scenarios/scenario.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
REACHED=try-reached-$$ # what the medium's program makes if it gets out: /$REACHED.* and ~/$REACHED.*
trap 'rm -rf "$WORK" /"$REACHED".* "$HOME/$REACHED".*' EXIT

python3 "$HERE/../../package/make_medium.py" "$1" "$2" "$WORK/medium" --fast 2>/dev/null &&
    python3 - "$HERE/../.." "$WORK/medium" <<'PY' || { echo "FAIL: the medium could not be assembled"; exit 1; }
import os, sys
sys.dont_write_bytecode = True
root, medium = sys.argv[1:3]
sys.argv = sys.argv[:1]
sys.path[:0] = [os.path.join(root, "tests", "medium"), os.path.join(root, "package")]
from check_medium_test import SUBFOLDERS, write_makers_package
from make_medium import write_iso
for folder in ("Win7", "Vista", "Vista-AMD64", "Win7-AMD64"):
    write_makers_package(os.path.join(medium, "Driver", folder), SUBFOLDERS)
write_iso(medium, medium + ".iso")
PY
# try MEDIUM [run-try's options]: with the plug-in double on Windows XP unless told otherwise.
try() { FAST_CLOCK=1 "$HERE/run-try" --plugin double "${@:2}" "$1" "$SUITE_TEST_TREE32" "$SUITE_TEST_TREE64" "$WORK/try" >"$WORK/out.txt" 2>&1; }
report_has() { grep -qxF -- "$1" "$WORK/try/report.txt" || { echo "  no line '$1' in:"; sed 's/^/    /' "$WORK/try/report.txt"; false; }; }
state_has() { grep -qxF -- "$1" "$WORK/try/state.txt" || { echo "  no line '$1' in:"; sed 's/^/    /' "$WORK/try/state.txt"; false; }; }

try "$WORK/medium.iso" --plugin medium --windows 7-64
tried=$?
check "the sample medium's ISO plays the first plug-in to its end with its own plug-in" \
    eval '[ $tried = 0 ] || { cat "$WORK/out.txt"; false; }'
manager='C:\Program Files\Palvio\Palvio Manager'
entry='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\PalvioManager'
check "its setup installed the application in the native Program Files, registered in the native view" all \
    "report_has '  the plug-in library: the medium'\''s own PalvioPlugin.dll'" \
    "state_has '$manager\\PalvioManager.exe'" "state_has '$manager\\Uninstall.exe'" \
    "state_has '$entry: DisplayName=Palvio Manager'" "state_has '$entry: InstallLocation=$manager'" \
    "state_has '$entry: UninstallString=\"$manager\\Uninstall.exe\" /uninstall'" \
    "! grep -qiE 'Program Files \(x86\)|Wow6432Node' '$WORK/try/state.txt'" \
    "grep -qaF 'PalvioPlugin: INF: PalvioPlugin: [Palvio] setup ended, installed: 1' '$WORK/try/AutoRunLog.txt'"
check "every phase came, the next plug-in's too" all "report_has 'The road ran to its end.'" \
    "report_has '18 of 18 phases came.'"
check "both windows were captured" test -s "$WORK/try/screenshots/launcher.png" -a -s "$WORK/try/screenshots/installer.png"
check "the PC holds the registered INFs, by Windows' names" all "state_has oem1.inf" "state_has oem1.PNF" \
    "report_has \"  the next plug-in: Windows' copy of qvmdm.inf is oem1.inf, as Windows names it\""
check "and the driver Windows copied from the package's subfolder of its architecture" all \
    "report_has '  the next plug-in: Windows copied qvusbser.sys from amd64/qvusbser.sys when it installed the ports'" \
    "state_has qvusbser.sys"
check "and the device in its ports, and the launcher's mark consumed" all \
    "grep -q '^USB.VID_2F5E&PID_7A01&MI_00.PORTFLIP' '$WORK/try/state.txt'" "state_has 'status=1'" \
    "state_has 'step=ports came'"
check "the switch was played with the medium's own command" \
    state_has 'portflip: the command for -switch is E5 01 00 00 00 00 00 00 00 00 00 00 (12 bytes)'
check "the page holds the screenshots, the phases and the whole log" all \
    "[ \$(grep -o 'data:image/png;base64' '$WORK/try/report.html' | wc -l) = 2 ]" \
    "grep -q 'launcher finds the mark and ends</td><td>[0-9]* s</td>' '$WORK/try/report.html'" \
    "grep -qF 'Instoria64: InstallDriverThreadProc begin' '$WORK/try/report.html'"

# The modem's INF of the folder for Windows XP names another interface: the drivers go in, but the launcher
# does not see them at the next plug-in. The profile counts two interfaces: the device shows no ADB.
sed -i 's/^Key_TotalInterface=3/Key_TotalInterface=2/' "$WORK/medium/Driver/drvcfg.ini"
python3 -c 'import sys
path = sys.argv[1]
text = open(path, "rb").read().decode("utf-16")
open(path, "wb").write(b"\xff\xfe" + text.replace("mi_00", "mi_07").encode("utf-16-le"))' "$WORK/medium/Driver/Win7/qvmdm.inf"
# The try writes the plug-in double's answers where the medium has a link to a file outside it. Bootrel starts
# the medium's program after the install: it tries / and the home folder through Z:, through Wine's Linux
# names and through Linux's own open call; outside a sandbox each of the three ways reaches its file.
echo mine >"$WORK/outside.ini"
ln -sf "$WORK/outside.ini" "$WORK/medium/PalvioPlugin.ini"
reach="$SUITE_TEST_TREE32/tests/try/reach_out.exe"
cp "$reach" "$WORK/medium/Driver/" &&
    printf '[Mode1]\r\nProgram=reach_out.exe\r\nParameters=/%s %s/%s\r\n' "$REACHED" "$HOME" "$REACHED" \
        >"$WORK/medium/Driver/Bootrel.ini"
"$HERE/../harness/wine-run" "$reach" "$WORK/control" >/dev/null 2>&1
check "outside a sandbox the medium's program writes its files each way" \
    test -s "$WORK/control.z" -a -s "$WORK/control.unix" -a -s "$WORK/control.syscall"
try "$WORK/medium"
tried=$?
reached=$(grep -F 'reach_out: ' "$WORK/try/AutoRunLog.txt")
check "a medium whose modem INF misses the modem fails the try" eval '[ $tried = 1 ] || cat "$WORK/out.txt"'
check "at the next plug-in, after the first plug-in's road" all "report_has '16 of 18 phases came.'" \
    "report_has '  NOT COME  At the next plug-in the launcher finds the drivers in Windows'"
check "and the report says why, with the checker's finding" grep -qF -- "likely cause: the launcher did not see \
the drivers as installed, so it would hand the device over at every plug-in: no INF copy in Windows names both \
the modem's (Key_ModemHwId) or the serial port's (Key_SerialHwId) hardware ID and Key_UsbDriverName in a models \
section, or the driver file is not in Windows' driver folder; the medium checker found: Driver/Win7/qvmdm.inf: \
[Palvio.NTx86] line 15: usb\vid_2f5e&pid_7a01&mi_00 (Key_ModemHwId) is not installed on Windows XP, 7, 8, 8.1 and \
10 (32-bit): the models section Windows takes there does not name it; Driver/Win7/qvmdm.inf: names none of the \
device's interfaces" "$WORK/try/report.txt"
check "the device showed the interfaces its profile counts, no more" all \
    "state_has 'play: added usb\\vid_2f5e&pid_7a01&mi_01'" "! grep -qF 'mi_02' '$WORK/try/state.txt'"
check "the checker's problems are counted" grep -qF 'The medium checker: 4 problem(s) in MEDIUM (exit status 1).' \
    "$WORK/try/report.txt"
check "the link is a finding, missing from the copy, and the file it names is as it was" all \
    "report_has '  PalvioPlugin.ini: a link to $WORK/outside.ini: not followed, not copied'" \
    "report_has '  check_medium: PalvioPlugin.dll: its .ini is missing beside it'" \
    "[ \"\$(cat '$WORK/outside.ini')\" = mine ]"
check "the medium's program tried each way in the sandbox, and nothing reached the machine" all \
    '[ "$(grep -c . <<<"$reached")" = 6 ]' '! grep -F " wrote " <<<"$reached"' \
    "! ls -d /$REACHED.* '$HOME/$REACHED'.* 2>/dev/null"

# The image of that folder, its link a Rock Ridge link, with a launcher up from the medium's root.
sed -i 's/^open=.*/open=..\\Palvio.exe\r/' "$WORK/medium/autorun.inf"
xorriso -as mkisofs -quiet -r -J -o "$WORK/outside.iso" "$WORK/medium" 2>/dev/null
try "$WORK/outside.iso"
tried=$?
check "a launcher outside the medium is refused, and nothing is played" all '[ $tried = 1 ]' \
    "report_has '  autorun.inf [autorun] open=..\\Palvio.exe leads out of the medium: the try neither writes nor runs there'" \
    "report_has '  NOT COME  The launcher starts from the CD-ROM and binds its plug-in library'" \
    "grep -qF 'likely cause: the medium names a path that leads out of it' '$WORK/try/report.txt'" \
    "[ ! -s '$WORK/try/AutoRunLog.txt' ]"
check "the image's link is a finding, not followed" all \
    "report_has '  PalvioPlugin.ini: a link to $WORK/outside.ini: not followed, not copied'" \
    "[ \"\$(cat '$WORK/outside.ini')\" = mine ]"
# A machine whose rules let bubblewrap make no namespaces: the try refuses, and neither plays nor reports.
mkdir "$WORK/rules" && printf '#!/bin/sh\necho "bwrap: No permissions to create new namespace" >&2\nexit 1\n' \
    >"$WORK/rules/bwrap" && chmod +x "$WORK/rules/bwrap"
PATH="$WORK/rules:$PATH" "$HERE/run-try" "$WORK/medium" "$SUITE_TEST_TREE32" "$SUITE_TEST_TREE64" "$WORK/none" \
    >"$WORK/out.txt" 2>&1
tried=$?
check "with no sandbox to be had nothing is played" all '[ $tried = 2 ]' "[ ! -e '$WORK/none' ]" \
    "grep -qF 'bubblewrap cannot make a sandbox here: bwrap: No permissions to create new namespace' '$WORK/out.txt'"
# A report folder that holds what no try wrote is refused before anything is played, and left as it was.
mkdir "$WORK/own" && echo mine >"$WORK/own/notes.txt"
"$HERE/run-try" "$WORK/medium" "$SUITE_TEST_TREE32" "$SUITE_TEST_TREE64" "$WORK/own" >/dev/null 2>&1
tried=$?
check "a report folder of someone else's is refused and kept" all '[ $tried = 2 ]' \
    "[ \"\$(cat '$WORK/own/notes.txt')\" = mine ]"
scenario_end
