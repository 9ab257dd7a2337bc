#!/usr/bin/env bash
# The shipped portflip.exe on a 32-bit simulated PC: every request it cannot carry out ends with a log line
# and a non-zero exit status, never a crash.
# Usage: portflip_refuses_what_it_cannot_send.sh SHIP_TREE_I686
. "$(dirname "$0")/scenario.sh"
portflip="$1/components/portflip/portflip.exe"

scenario_begin win32
tool="$DRIVE_C/pkg"
mkdir -p "$tool"
cp "$portflip" "$tool/"

run "$tool/portflip.exe" -switch
check "a command line without the drive is unusable" status_is 2
check "and logged" log_has portflip 'ERR: portflip: command line <-switch> is not MODE -cdrom:X:'

run "$tool/portflip.exe" -switch -cdrom:c:
check "without portflip.ini nothing is sent" status_is 2
check "and the missing command is logged" log_has portflip \
    'ERR: portflip: C:\pkg\portflip.ini gives no usable command for -switch'

printf '%s\r\n' '[Commands]' '-switch=16 00 00 00 00 00' '-mtp=16 zz' >"$tool/portflip.ini"
run "$tool/portflip.exe" -mtp -cdrom:c:
check "a malformed command is unusable" status_is 2

run "$tool/portflip.exe" -switch -cdrom:c:
check "a drive that is not a CD-ROM is refused" status_is 1
check "and named in the log" log_has portflip 'ERR: portflip: C: is not a CD-ROM drive'

scenario_end
