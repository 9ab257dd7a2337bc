#!/usr/bin/env bash
# The install road of the first plug-in with the shipped installer at its normal speed, on Windows XP: started
# by hand from the device's CD-ROM, it stages itself into a folder of its own and starts the staged copy
# there with run mode 4, whose window
# (NORMAL skin) replaces the drivers, has the device switch (the portflip double plays the switch on the
# simulated PC), waits for the CD-ROM to go and come back, marks the status file for the launcher and shows
# its final window, which its exit button ends at once. Then run mode 0 with the OXA skin, whose final window
# is left to end by itself after 8 s, started from the user's staging folder as the launcher starts it. The
# log's time stamps give how much of the road is pauses.
# Usage: installer_installs_the_drivers_and_switches_the_device.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"
. "$(dirname "$0")/../harness/screen.sh"
SHOTS=${SUITE_SCREENSHOTS:-$PREFIX/screenshots}/installer_installs_the_drivers_and_switches_the_device

installer_begin win32 5.1
mkdir -p "$SHOTS"
use_doubles LetterGoesAfter=300 LetterComesBackAfter=8000
add_storage_device
device_cdrom E:
status="$TEMP_DIR/QvInstallDriveCfg.ini"
printf '%s\r\n' '[drive]' 'status=1' 'note=kept' '[launcher]' 'seen=yes' >"$status"
parameters='HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters'

log_mark
log_stamp_start
start_at 'E:\Driver\Instoria.exe' "$MEDIUM/Driver/Instoria.exe"
check "the staged copy's window comes" wintool wait "$WINDOW_TITLE"
check "the worker pauses after placing the files" log_wait 'Process setup 41...' 60
check "the NORMAL window during the work" screen_capture "$WINDOW_TITLE" "$SHOTS/normal-working.png"
SHOT="$SHOTS/normal-working.png"
BACK_TOP="220 230 242" # the sample skin's upper half
read -r width height < <(screen_size "$SHOT")
check "is the background's size, 400 x 150 ($width x $height)" [ "$width $height" = "400 150" ]
check "its background's upper half" screen_pixel_is "$SHOT" 200 10 "$BACK_TOP"
check "and lower half fill it" screen_pixel_is "$SHOT" 390 140 "255 255 255"
check "the bar starts at (15, 75)" screen_pixel_is "$SHOT" 16 76 "133 133 133"
check "and ends 15 pixels before the right edge" all "screen_pixel_is $SHOT 380 90 '204 204 204'" \
    "screen_pixel_is $SHOT 387 90 '255 255 255'"
check "it is 30 pixels high" all "screen_pixel_is $SHOT 250 100 '204 204 204'" \
    "screen_pixel_is $SHOT 250 107 '255 255 255'"
check "the text stands above the middle line" [ "$(screen_bounds "$SHOT" 15 20 370 54 'r + g + b < 100')" != none ]
check "no exit button during the work" screen_pixel_is "$SHOT" 364 10 "$BACK_TOP"

check "the final window shows its exit button" wintool seen "$WINDOW_TITLE" 1004
check "the final window" screen_capture "$WINDOW_TITLE" "$SHOTS/normal-final.png"
SHOT="$SHOTS/normal-final.png"
check "has no bar" screen_pixel_is "$SHOT" 200 100 "255 255 255"
check "but the exit button, 5 pixels from the right edge and 3 from the top" \
    all "screen_pixel_is $SHOT 374 3 '192 57 43'" "screen_pixel_is $SHOT 394 25 '192 57 43'" \
    "screen_pixel_is $SHOT 395 10 '$BACK_TOP'" "screen_pixel_is $SHOT 374 2 '$BACK_TOP'"
check "and the after-install text" [ "$(screen_bounds "$SHOT" 15 20 370 54 'r + g + b < 100')" != none ]
check "its exit button ends the installer" wintool click "$WINDOW_TITLE" 1004 gone Instoria.exe
click_end=$(gone_after)
check "within a moment (${click_end} ms)" [ "${click_end:-99999}" -lt 1500 ]
finish
log_stamp_stop
own_copy

check "the staged copy ran with mode 4" log_new_has 'dlg.m_nDoType = 4'
check "its window was set up with the NORMAL skin" log_new_has 'InitialDllPara(), Main_Produce is NORMAL.'
check "at the background's size" log_new_has 'BackGround bmp size is weight:400 height:150'
check "the bar below the middle line" \
    log_new_has 'ProgressCtrl bmp size is weight:370 height:30,position is x:15, y:75'
check "the progress went through every step" \
    positions_are '1 5 10 20 40 41 42 43 44 45 50 55 80 90 100'
check "the TCP receive window was set" log_new_has 'Set Key:Tcpip\Parameters\TcpWindowSize=0x00020000'
check "to 0x00020000" [ "$(reg_value "$parameters" TcpWindowSize)" = "REG_DWORD 0x20000" ]
check "the launcher was looked for" log_new_has '<<End to kill process'
check "the drivers came from XP's edition folder" log_new_has "Driver setup dir: $OWN_WIN\\Win7"
# Wine's CMP_WaitNoPendingInstallEvents answers at once that nothing is pending: the wait writes no line.
check "Windows' device installation was let settle without a line, as nothing was pending" \
    log_new_lacks 'INFO: Device installation settled'
check "the device was asked to switch" file_has_line "$OWN/portflip.journal" 'portflip -switch -cdrom:E:'
check "and did" log_new_has 'switch_3_port(): device switch OK'
check "its CD-ROM went" log_new_has 'Disk is removed OK'
check "and came back" log_new_has 'Disk is refind'
check "the status file marks the install" file_has_line "$status" 'status=0'
check "and keeps its other keys" all "file_has_line '$status' 'note=kept'" "file_has_line '$status' '[launcher]'" \
    "file_has_line '$status' 'seen=yes'"
check "no start-up tool in mode 4" test ! -e "$OWN/Bootrel.journal"
check "the worker ended before the program" log_new_has 'InstallDriverThreadProc end'
check "and the program after its window" log_new_has 'BOOL CInstoriaApp::InitInstance() end'

# Where the time of the road goes, from the moments the log's lines appeared: the pauses it describes (two
# 2.5 s pauses of the old drivers' removal, five 1 s rounds, 5 s after each storage node removed, 1 s between
# the drive letter's waits, 0.1 s after the mark, 3 s and 1 s before the final window), the device (portflip
# running, the drive letter going and coming back), and the rest: the program's own work.
ms_between() { echo $(($(stamp_of "$2") - $(stamp_of "$1"))); }
total=$(ms_between 'InstallDriverThreadProc begin' 'Set ... invisible')
# Each of the removal's two phases ends with an attempt that finds its node gone; every attempt before it
# removed the node and paused.
removed=$(($(grep -ac ', Step [0-9]*\.\.\.$' "$STAMPED") - 2))
pauses=$((2 * 2500 + 5 * 1000 + removed * 5000 + 1000 + 100 + 3000 + 1000))
device=$(($(ms_between '===> RunClientSetup' '<=== RunClientSetup') + $(ms_between 'Process setup 55...' \
    'Disk is removed OK') + $(ms_between 'Process setup 80...' 'Disk is refind') - 1000))
own=$((total - pauses - device))
echo "measured: the road took $total ms up to its final window: $pauses ms of fixed pauses" \
    "($removed device nodes removed), $device ms of the device (portflip and the drive letter), $own ms of the" \
    "program's own work"
check "the program's own work is a small part of the road (${own} ms)" [ "$own" -lt 3000 ]

# Run mode 0 with the OXA skin, started with the drive alone from the user's staging folder: its final window
# ends by itself.
stage_package
set_profile "$PACKAGE/drvcfg.ini" Produce_ID Main_Produce OXA
add_storage_device
log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$STAGED/Instoria.exe" E:
check "the OXA window comes" wintool wait "$WINDOW_TITLE"
check "the worker pauses after placing the files" log_wait 'Process setup 41...' 60
check "the OXA window during the work" screen_capture "$WINDOW_TITLE" "$SHOTS/oxa-working.png"
SHOT="$SHOTS/oxa-working.png"
check "is a white box with a thin black border, inset by 2 pixels" \
    all "screen_pixel_is $SHOT 200 50 '255 255 255'" "screen_pixel_is $SHOT 2 50 '0 0 0'" \
    "screen_pixel_is $SHOT 397 140 '0 0 0'" "screen_pixel_is $SHOT 200 147 '0 0 0'"
check "its bar stands as in NORMAL" screen_pixel_is "$SHOT" 16 76 "133 133 133"
check "and its text above the bar" [ "$(screen_bounds "$SHOT" 15 5 370 69 'r + g + b < 100')" != none ]
check "the window hides for the final text and shows again" wintool hidden "$WINDOW_TITLE" wait "$WINDOW_TITLE"
shown_at=$(date +%s%3N)
check "the OXA final window" screen_capture "$WINDOW_TITLE" "$SHOTS/oxa-final.png"
SHOT="$SHOTS/oxa-final.png"
check "keeps its box and has no bar" all "screen_pixel_is $SHOT 2 50 '0 0 0'" "screen_pixel_is $SHOT 200 100 '255 255 255'"
check "nor the exit button that its skin places (its workers hide it)" screen_pixel_is "$SHOT" 374 20 '255 255 255'
check "and the after-install text" [ "$(screen_bounds "$SHOT" 15 5 340 69 'r + g + b < 100')" != none ]
check "and ends by itself" wintool gone Instoria.exe
shown_for=$(($(date +%s%3N) - shown_at))
check "about 8 s after it showed (${shown_for} ms)" [ "${shown_for:-0}" -ge 7000 -a "${shown_for:-0}" -le 10500 ]
finish
check "without a mode word the run mode stays 0" log_new_lacks 'dlg.m_nDoType'
check "the installer ends with status 0, the device having come with its ports" result_is 0 'ports came'
check "which ends with the final window" log_new_has 'InstallDriverThreadProc end'
check "the status file marks this install too" file_has_line "$status" 'status=0'

scenario_end
