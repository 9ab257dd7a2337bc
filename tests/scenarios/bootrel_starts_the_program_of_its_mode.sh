#!/usr/bin/env bash
# The shipped i686 Bootrel.exe on a 32-bit simulated PC: it starts what its .ini names for the run mode, a
# program or an entry point of the shipped plug-in library beside it, and says in the log what it did.
# Also the first proof that 32-bit programs run here at all. The installer runs it elevated from the user's
# temp folder: a library planted beside it under a name that Wine's shell and path libraries bring in
# (shcore.dll, which Wine takes from beside a program) is loaded neither at its start nor by its work.
# Usage: bootrel_starts_the_program_of_its_mode.sh SHIP_TREE_I686
. "$(dirname "$0")/scenario.sh"
bootrel="$1/components/bootrel/Bootrel.exe"
plugin="$1/components/plugin/PalvioPlugin.dll"

scenario_begin win32
medium="$DRIVE_C/medium"
mkdir -p "$medium"
cp "$bootrel" "$plugin" "$medium/"
planted="${SUITE_TEST_TREE32:-}/tests/scenarios/planted.dll"
cp "$planted" "$medium/shcore.dll" || { echo "FAIL: the planted library is not built ('$planted')"; exit 1; }
printf '%s\r\n' '[Mode1]' 'Program=C:\windows\system32\cmd.exe' 'Parameters=/c echo started> C:\started.txt' \
    '[Mode2]' 'Program=missing.exe' 'Parameters=' \
    '[Mode3]' 'Plugin=PalvioPlugin.dll' 'Entry=RunDial' \
    '[Mode6]' 'Plugin=PalvioPlugin.dll' 'Entry=InitialDllPara' >"$medium/Bootrel.ini"
printf '%s\r\n' '[Dial]' 'Program=%SystemRoot%\system32\cmd.exe' 'ProgramParameters=/c echo dial> C:\dial.txt' \
    >"$medium/PalvioPlugin.ini"

run "$medium/Bootrel.exe" 1
check "mode 1 starts its program" status_is 0
check "the program of mode 1 runs" file_appears "$DRIVE_C/started.txt"
check "the start is logged" log_has Bootrel \
    'INF: Bootrel: started C:\windows\system32\cmd.exe /c echo started> C:\started.txt for run mode 1'

run "$medium/Bootrel.exe" 2
check "a program that is not there fails the run" status_is 1
check "the failed start is logged with the shell's code" log_has Bootrel \
    'ERR: Bootrel: start of C:\medium\missing.exe  failed, code 2'

run "$medium/Bootrel.exe" 3
check "mode 3 calls RunDial of the plug-in library" status_is 0
check "which starts the dial-up program of the library's .ini" file_appears "$DRIVE_C/dial.txt"
check "the call is logged" log_has Bootrel 'INF: Bootrel: RunDial of C:\medium\PalvioPlugin.dll answered 1 for run mode 3'
check "the library planted beside Bootrel was never loaded" test ! -e "$DRIVE_C/planted-libraries.txt"

run "$medium/Bootrel.exe" 6
check "an entry point that takes an argument is refused" status_is 2

run "$medium/Bootrel.exe" 7
check "a mode without a section is nothing to do" status_is 0
check "and says so" log_has Bootrel 'INF: Bootrel: nothing to start for run mode 7'

run "$medium/Bootrel.exe" 1x
check "a run mode that is not a number is refused" status_is 2
check "and logged" log_has Bootrel 'ERR: Bootrel: run mode <1x> is not a number'

scenario_end
