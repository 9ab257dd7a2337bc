#!/usr/bin/env bash
# The installer window with a broken skin on Windows XP (the shipped installer at its normal speed): a
# background bitmap cut short, no exit images, geometry values that are negative, huge or no number, and
# texts of more than 259 characters. The window keeps its template's size, the values their defaults, the
# exit button the built-in image, and the install goes on to its end. A profile that names no skin ends the installer cleanly, without a worker.
# Usage: installer_window_copes_with_a_broken_skin.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"
. "$(dirname "$0")/../harness/screen.sh"
SHOTS=${SUITE_SCREENSHOTS:-$PREFIX/screenshots}/installer_window_copes_with_a_broken_skin

installer_begin win32 5.1
mkdir -p "$SHOTS"
use_doubles LetterGoesAfter=4000 LetterComesBackAfter=6000
add_storage_device
device_cdrom E:
stage_package
status="$TEMP_DIR/QvInstallDriveCfg.ini"

head -c 2000 "$PACKAGE/Res/DrvInstall.bmp" >"$PREFIX/cut.bmp" && mv "$PREFIX/cut.bmp" "$PACKAGE/Res/DrvInstall.bmp"
rm "$PACKAGE/Res/exit.bmp" "$PACKAGE/Res/exitsel.bmp"
set_profile "$PACKAGE/drvcfg.ini" Section_Driver Key_ProgressHeight -5
set_profile "$PACKAGE/drvcfg.ini" Section_Driver Key_ProgressXPos 99999999999
set_profile "$PACKAGE/drvcfg.ini" Section_Driver Key_TextSpare abc
long=$(printf 'Installing%.0s ' $(seq 1 30))
set_profile "$PACKAGE/DrvLang.ini" Section_LID0x0809 Installinfo "$long"
set_profile "$PACKAGE/DrvLang.ini" Section_LID0x0809 InfoAftetDriver "$(printf 'x%.0s' $(seq 1 300))"

log_mark
start_at "$TEMP_WIN\\Driver\\Instoria.exe" "$STAGED/Instoria.exe" E: 0
check "the window comes" wintool wait "$WINDOW_TITLE"
own_copy
check "the worker waits for the device" log_wait 'Process setup 55...' 60
check "the window during the work" screen_capture "$WINDOW_TITLE" "$SHOTS/broken-working.png"
SHOT="$SHOTS/broken-working.png"
read -r width height < <(screen_size "$SHOT")
check "keeps a size a person can see ($width x $height)" all '[ "$width" -ge 200 -a "$width" -le 600 ]' \
    '[ "$height" -ge 70 -a "$height" -le 250 ]'
check "the cut background is refused" log_new_has \
    "ERR: The background $OWN_WIN\\Res\\DrvInstall.bmp is missing or damaged; the window keeps its size"
check "a negative bar height keeps 30" log_new_has \
    "ERR: Key_ProgressHeight = -5 does not suit a window of $height pixels; 30 is used"
check "a huge margin keeps 15" log_new_has \
    "ERR: Key_ProgressXPos = 2147483647 does not suit a window of $width pixels; 15 is used"
check "a text spare that is no number keeps -1" log_new_has 'ERR: Key_TextSpare = abc is no number; -1 is used'
check "the bar stands below the middle line between the default margins" log_new_has \
    "ProgressCtrl bmp size is weight:$((width - 30)) height:30,position is x:15, y:$((height / 2))"
check "the after-install text of 300 characters was read all the same" \
    log_new_starts 'Info:The value of config(Section:Section_LID0x0809; Key:InfoAftetDriver) is xxxxxxxxxx'
check "its bar is painted" screen_pixel_is "$SHOT" 16 $((height / 2 + 1)) "133 133 133"
check "and its text on the dialog's face above it" \
    [ "$(screen_bounds "$SHOT" 15 0 $((width - 30)) $((height / 2)) 'r + g + b < 100')" != none ]

check "the final window shows the built-in exit image" wintool seen "$WINDOW_TITLE" 1004
check "the final window" screen_capture "$WINDOW_TITLE" "$SHOTS/broken-final.png"
SHOT="$SHOTS/broken-final.png"
check "with the after-install text" \
    [ "$(screen_bounds "$SHOT" 15 0 $((width - 60)) 20 'r + g + b < 100')" != none ]
check "the built-in image, 5 pixels inside the right edge" all "screen_pixel_is $SHOT $((width - 25)) 3 '60 60 60'" \
    "screen_pixel_is $SHOT $((width - 24)) 5 '110 110 110'" "screen_pixel_is $SHOT $((width - 21)) 9 '255 255 255'"
check "which ends the installer" wintool click "$WINDOW_TITLE" 1004 gone Instoria.exe
finish
check "the install went on to its end" all "log_new_has 'Disk is refind'" "file_has_line '$status' 'status=0'"
check "through the final window" log_new_has 'InstallDriverThreadProc end'

# No skin named: the installer ends without a worker.
sed -i '/^Main_Produce=/d' "$PACKAGE/drvcfg.ini"
add_storage_device
rm -f "$status"
log_mark
WINE_PROGRAM_AS="$TEMP_WIN\\Driver\\Instoria.exe" run "$STAGED/Instoria.exe" E: 0
check "a profile without Main_Produce is logged" \
    log_new_has 'Err:Get config(Section:Produce_ID; Key:Main_Produce) from cfg file fialed'
check "with the reason the installer ends" \
    log_new_has 'ERR: The device profile names no skin; the installer ends without installing'
check "it ends cleanly, through its window" log_new_has 'BOOL CInstoriaApp::InitInstance() end'
check "no worker ran" all "log_new_lacks 'InstallDriverThreadProc begin'" "log_new_lacks 'Process setup'"
check "and nothing was marked" no_status_mark

scenario_end
