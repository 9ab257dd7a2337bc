#!/usr/bin/env bash
# The portflip double that scenario tests put beside the installer: it journals its command line and ends
# at once, and a detached copy of it plays the device's answer to "-switch" on the simulated PC: the CD-ROM
# letter goes, the storage nodes go, the modem, serial and ADB nodes come, the letter comes back with its
# record. A step left out makes the device misbehave.
# Usage: portflip_double_plays_the_mode_switch.sh PORTFLIP_DOUBLE
. "$(dirname "$0")/scenario.sh"
double=$1

# Waits up to 30 s for the double's journal to hold a line.
journal_gets() {
    local i
    for ((i = 0; i < 300; i++)); do
        tr -d '\r' <"$pkg/portflip.journal" 2>/dev/null | grep -qxF -- "$1" && return 0
        sleep 0.1
    done
    echo "  no line '$1' in the journal:"
    sed 's/^/    /' "$pkg/portflip.journal" 2>/dev/null
    false
}

scenario_begin win32
pkg="$DRIVE_C/pkg"
medium="$PREFIX/medium"
mkdir -p "$pkg" "$medium"
cp "$double" "$pkg/portflip.exe"
printf '%s\r\n' '[Section_Driver]' 'Key_ProductId=usb\vid_1a2b&pid_0001' 'Key_UsbStorHwId=usbstor\cdromvirtual_modem' \
    'Key_ModemHwId=usb\vid_1a2b&pid_0001&mi_00' 'Key_SerialHwId=usb\vid_1a2b&pid_0001&mi_01' \
    'Key_AdbHwId=usb\vid_1a2b&pid_0001&mi_02' 'Key_CDROMSignId=Ven_Palvio&Prod_Virtual_Modem' >"$pkg/drvcfg.ini"
printf '%s\r\n' '[Play]' "CdromFolder=$medium" 'LetterGoesAfter=200' 'LetterComesBackAfter=300' >"$pkg/portflip.ini"
echo medium >"$medium/autorun.inf"

sim cdrom-define E: "$medium" --sign 'Ven_Palvio&Prod_Virtual_Modem'
sim device-add --instance 'USB\VID_1A2B&PID_0001\STORAGE' --hwid 'USB\VID_1A2B&PID_0001' --compat 'USB\Class_08'
sim device-add --instance 'USBSTOR\CDROMVIRTUAL_MODEM\1' --hwid 'USBSTOR\CdRomVirtual_Modem' --class CDROM

run "$pkg/portflip.exe" -switch -cdrom:E:
check "the tool ends at once with status 0" status_is 0
check "its command line is journaled" file_has_line "$pkg/portflip.journal" 'portflip -switch -cdrom:E:'
check "the device plays its mode switch to the end" journal_gets 'play: done'
check "its letter came back" file_has_line "$pkg/portflip.journal" 'play: letter E: back'
check "the letter went" file_has_line "$pkg/portflip.journal" 'play: letter E: gone'
check "the storage node went" file_has_line "$pkg/portflip.journal" \
    'play: removed 1 nodes of usb\vid_1a2b&pid_0001'
check "the CD-ROM node went" file_has_line "$pkg/portflip.journal" \
    'play: removed 1 nodes of usbstor\cdromvirtual_modem'
sim device-list --hwid 'usb\vid_1a2b&pid_0001&mi_00'
check "the modem node came" test -n "$SIM_OUTPUT"
sim device-list --hwid 'usb\vid_1a2b&pid_0001&mi_02'
check "the ADB node came" test -n "$SIM_OUTPUT"
sim device-list --hwid 'usb\vid_1a2b&pid_0001'
check "no storage node is left" test -z "$SIM_OUTPUT"
sim drive-info E: autorun.inf
check "the letter is back as a CD-ROM" sim_printed "type 5"
check "with its record" sim_printed \
    'record \??\SCSI#CdRom&Ven_Palvio&Prod_Virtual_Modem#5&1a2b3c4d&0&000000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}'

# A device that never brings its CD-ROM back, and a tool that fails.
printf '%s\r\n' '[Answer]' 'ExitCode=1' '[Play]' "CdromFolder=$medium" 'LetterGoesAfter=0' \
    'LetterComesBackAfter=-1' >"$pkg/portflip.ini"
run "$pkg/portflip.exe" -switch -cdrom:E:
check "the configured exit status is given" status_is 1
check "the step left out is journaled" journal_gets 'play: LetterComesBackAfter left out'
sim drive-info E:
check "and the letter stays gone" sim_printed "type 1"

run "$pkg/portflip.exe" -mtp -cdrom:E:
check "a mode word the device does not answer is only journaled" file_has_line "$pkg/portflip.journal" \
    'portflip -mtp -cdrom:E:'

# A medium's own portflip.ini, read for the mode word as the shipped tool reads it: without a command the
# tool could send, the double ends as the tool would, and the device is not asked.
printf '%s\r\n' '[Commands]' '-switch=E5 01' '-close=E5 XY' '[Play]' 'Commands=yes' 'Modes=-switch,-close' \
    'LetterGoesAfter=-1' >"$pkg/portflip.ini"
rm -f "$pkg/portflip.journal"
run "$pkg/portflip.exe" -close -cdrom:E:
check "a mode word without a command it could send ends the tool with status 2" status_is 2
check "and is named, with nothing played" all \
    "file_has_line '$pkg/portflip.journal' \"portflip: portflip.ini names no command for -close that the tool can send ('E5 XY')\"" \
    "! grep -q '^play:' '$pkg/portflip.journal'"
run "$pkg/portflip.exe" -switch -cdrom:E:
check "one with its command is played" all "status_is 0" \
    "file_has_line '$pkg/portflip.journal' 'portflip: the command for -switch is E5 01 (2 bytes)'" \
    "journal_gets 'play: done'"

scenario_end
