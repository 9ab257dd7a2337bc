#!/usr/bin/env bash
# The simulated PC across programs: what one run of simpc.exe changes, the next program sees, 32- and 64-bit
# programs alike, in one 64-bit prefix. Needs both tools (SUITE_SIMPC32, SUITE_SIMPC64).
. "$(dirname "$0")/../scenarios/scenario.sh"

for tool in "$SIMPC32" "$SIMPC64"; do
    [ -n "$tool" ] && [ -f "$tool" ] ||
        { echo "FAIL: simpc.exe of both architectures is needed: '$SIMPC32', '$SIMPC64' (reconfigure the" \
            "i686 test tree with SUITE_TEST_DIRS, as the Makefile does)"; exit 1; }
done

# The last sim command printed a line that matches an extended regular expression.
printed_like() { grep -qE -- "$1" <<<"$SIM_OUTPUT" || { echo "  nothing like '$1' in: $SIM_OUTPUT"; false; }; }

scenario_begin win64

# The edition: written by one architecture, read alike by both (a 32-bit program reads Wow6432Node).
sim64 edition 6.1 7601.17514.x86fre.win7sp1_rtm.101119-1850
sim32 edition-show
check "a 32-bit program reads the version the 64-bit tool wrote" sim_printed "CurrentVersion=6.1"
check "and the build lab" sim_printed "BuildLabEx=7601.17514.x86fre.win7sp1_rtm.101119-1850"
sim64 edition 6.3 22621.1.amd64fre.ni_release.220506-1250 --major 10 --build 22631
sim32 edition-show
check "a 32-bit program reads Windows 11's major number" sim_printed "CurrentMajorVersionNumber=10"
check "and its build number" sim_printed "CurrentBuildNumber=22631"
sim32 edition 5.1
sim64 edition-show
check "a 64-bit program reads the version the 32-bit tool wrote" sim_printed "CurrentVersion=5.1"
check "and that the build lab is gone" sim_printed "BuildLabEx absent"
check "and the major number" sim_printed "CurrentMajorVersionNumber absent"

# The CD-ROM drive: defined by one program, seen by the next, gone for the one after its removal.
medium="$PREFIX/medium"
mkdir -p "$medium"
printf '[autorun]\r\nopen=Palvio.exe\r\n' >"$medium/autorun.inf"
sim64 cdrom-define E: "$medium" --sign 'Ven_Palvio&Prod_Virtual_Modem'
sim32 drive-info E: autorun.inf
check "E: is a CD-ROM for the next program" sim_printed "type 5"
check "listed among the logical drives" sim_printed "listed yes"
check "with the mounted-device record that holds the sign" sim_printed \
    'record \??\SCSI#CdRom&Ven_Palvio&Prod_Virtual_Modem#5&1a2b3c4d&0&000000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}'
check "and its files readable" sim_printed "file [autorun]"
sim64 mounted-record E: --record '\??\IDE#CdRomOther'
sim64 drive-info E:
check "the record can be rewritten on its own" sim_printed 'record \??\IDE#CdRomOther'
sim32 drive-remove E:
sim64 drive-info E:
check "after its removal E: is no drive" sim_printed "type 1"
check "and not listed" sim_printed "listed no"
check "and its record is gone" sim_printed "record absent"

# Device nodes: made by one run, listed by the next, removed by hardware ID in any case.
sim64 device-add --instance 'USB\VID_1A2B&PID_0001&MI_00\6&1234&0&0000' --class Modem \
    --hwid 'USB\VID_1A2B&PID_0001&REV_0100&MI_00,USB\VID_1A2B&PID_0001&MI_00' --compat 'USB\Class_02&SubClass_02,USB\Class_02'
sim32 device-list --hwid 'usb\vid_1a2b&pid_0001&mi_00'
check "a 32-bit program lists the node with its IDs" sim_printed "$(printf '%s\t%s\t%s\t%s' \
    'USB\VID_1A2B&PID_0001&MI_00\6&1234&0&0000' Modem \
    'USB\VID_1A2B&PID_0001&REV_0100&MI_00,USB\VID_1A2B&PID_0001&MI_00' 'USB\Class_02&SubClass_02,USB\Class_02')"
sim64 device-remove --hwid 'usb\vid_1a2b&pid_0001&mi_00'
check "removal by hardware ID counts it" printed_like '^removed 1 device nodes in [0-9]+ ms$'
sim64 device-list --hwid 'USB\VID_1A2B&PID_0001&MI_00'
check "and the next program no longer sees it" test -z "$SIM_OUTPUT"

# Many nodes at once: what a test of a crowded PC costs.
sim64 device-add-many 500 --instance 'USB\VID_2C2C&PID_0002\SIM#' --hwid 'USB\VID_2C2C&PID_0002&REV_#,USB\VID_2C2C&PID_0002'
sim64 device-list --hwid 'USB\VID_2C2C&PID_0002'
check "500 numbered nodes are listed" test "$(grep -c 'SIM0[0-9]*' <<<"$SIM_OUTPUT")" = 500

# A driver file from a 32-bit program lands in the native system32, not in its syswow64 redirect.
printf 'driver' >"$PREFIX/simpc.sys"
sim32 driver-place "$PREFIX/simpc.sys"
check "the driver file is in the native drivers folder" test -f "$DRIVE_C/windows/system32/drivers/simpc.sys"
check "not in the 32-bit one" test ! -e "$DRIVE_C/windows/syswow64/drivers/simpc.sys"

# OEM INF files take the first free number.
printf '[Version]\r\n' >"$PREFIX/driver.inf"
sim64 oeminf-place "$PREFIX/driver.inf"
check "the first INF is oem0.inf" sim_printed "oem0.inf"
sim64 oeminf-place "$PREFIX/driver.inf"
check "the next one oem1.inf" sim_printed "oem1.inf"
check "each with its twin" test -f "$DRIVE_C/windows/inf/oem1.PNF"

# A folder window opened by one program, found and closed by others, and journaled.
journal="$PREFIX/folders.txt"
sim32 folder-window --title 'CD Drive (E:)' --class ToolbarWindow32 --text 'Address: E:\' --journal "$journal"
run "$SIMPC64" window-exists 'CD Drive (E:)'
check "another program finds the folder window" status_is 0
sim64 window-close 'CD Drive (E:)'
check "closing it is journaled" file_appears "$journal" 10
check "with its title" file_has_line "$journal" "closed CD Drive (E:)"
for ((i = 0; i < 50; i++)); do
    run "$SIMPC64" window-exists 'CD Drive (E:)'
    [ "$STATUS" = 1 ] && break
    sleep 0.2
done
check "and the window is gone" status_is 1

# The system's default language follows the locale each program starts with.
sim64 language
check "English (United States) by default" sim_printed "0x0409"
with_language 0x0407 sim64 language
check "German with 0x0407" sim_printed "0x0407"
with_language zh_CN.UTF-8 sim32 language
check "Chinese (PRC) with zh_CN.UTF-8" sim_printed "0x0804"

# What a script gets wrong is refused, with the reason on stderr.
run "$SIMPC64" cdrom-define 5: "$medium" 2>"$PREFIX/err"
check "a bad letter is a usage error" status_is 2
check "that says so" grep -qF "'5:' is not a drive letter" "$PREFIX/err"

scenario_end
