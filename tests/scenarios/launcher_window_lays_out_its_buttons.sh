#!/usr/bin/env bash
# The launcher window on Windows XP as a person sees it: the sample skin with four buttons and with two, the
# example skin of a 300-pixel background with 50-pixel buttons, the order 4321, button switches in mixed
# case and a missing order; dragging, and Escape and Return that do not close it. Then a broken skin and
# oversized configuration (no background, no button or logo image, a cut close image, captions of 259
# characters, an order of ten digits): the window still shows, its close button still ends it.
# Usage: launcher_window_lays_out_its_buttons.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"
. "$(dirname "$0")/../harness/screen.sh"
SHOTS=${SUITE_SCREENSHOTS:-$PREFIX/screenshots}/launcher_window_lays_out_its_buttons
MAKE_BITMAP="$(dirname "$0")/../../scripts/make_bitmap.py"

launcher_begin win32 5.1
mkdir -p "$SHOTS"
CFG="$MEDIUM/autoruncfg.cfg"
setting() { set_profile "$CFG" Section_Autorun "$1" "$2"; }
BACK_TOP="220 230 242" BUTTON="43 87 151" LOGO="232 163 61" EXIT="192 57 43"

# place_is ID "X Y W H shown|hidden enabled|disabled": the control's place and state in the open window.
place_is() {
    wintool place "$LAUNCHER_TITLE" "$1" >/dev/null
    local found=${TOOL_OUTPUT#place }
    [ "$found" = "$2" ] || { echo "  control $1: $found, expected $2"; false; }
}

# state_is ID "shown|hidden enabled|disabled" / top_is ID TOP: the control's state / top only.
state_is() {
    wintool place "$LAUNCHER_TITLE" "$1" >/dev/null
    [ "${TOOL_OUTPUT#place * * * * }" = "$2" ] || { echo "  control $1: $TOOL_OUTPUT, expected $2"; false; }
}
top_is() {
    wintool place "$LAUNCHER_TITLE" "$1" >/dev/null
    [ "$(cut -d' ' -f3 <<<"$TOOL_OUTPUT")" = "$2" ] || { echo "  control $1: $TOOL_OUTPUT, expected top $2"; false; }
}

# The sample skin: background 406 x 418, buttons 212 x 56, band 30, order 1234, four buttons: the gap is
# (418 - 4 * 56 - 30) / 5 = 32, the column (406 - 212) / 2 = 97.
log_mark
launch_start
check "the window shows" window_shows
check "with four buttons" screen_capture "$LAUNCHER_TITLE" "$SHOTS/four-buttons.png"
SHOT="$SHOTS/four-buttons.png"
read -r width height < <(screen_size "$SHOT")
check "at the background's size, without border (${width} x ${height})" [ "$width $height" = "406 418" ]
check "SD first, 32 below the band" place_is 1001 "97 62 212 56 shown enabled"
check "MTP second" place_is 1002 "97 150 212 56 shown enabled"
check "Palvio third" place_is 1000 "97 238 212 56 shown enabled"
check "dial-up fourth" place_is 1003 "97 326 212 56 shown enabled"
check "the buttons show their skin" all "screen_pixel_is $SHOT 98 63 '$BUTTON'" "screen_pixel_is $SHOT 98 61 '$BACK_TOP'"
check "the logo in the band, 5 from the left" all "screen_pixel_is $SHOT 5 3 '$LOGO'" "screen_pixel_is $SHOT 4 3 '$BACK_TOP'"
check "the close button 5 from the right, centred in the band" \
    all "screen_pixel_is $SHOT 383 6 '$EXIT'" "screen_pixel_is $SHOT 400 23 '$EXIT'" "screen_pixel_is $SHOT 401 6 '$BACK_TOP'"
check "the product name painted on the band" [ "$(screen_bounds "$SHOT" 30 9 60 16 'r + g + b < 100')" != none ]
check "the set-up logged the sizes" log_new_in_order 'CPalvioDlg::OnInitDialog() begin' \
    'Window system weight:5 height:30' 'BackGround bmp size is weight:406 height:418' \
    'Logo bmp size is weight:24 height:24' 'Exit bmp size is weight:18 height:18' \
    'Button bmp size is weight:212 height:56' 'Button sequency is 1234' 'CPalvioDlg::OnInitDialog() end'
check "Escape and Return do not close it" wintool press "$LAUNCHER_TITLE" escape press "$LAUNCHER_TITLE" return
sleep 1
check "it still shows" wintool wait "$LAUNCHER_TITLE"
check "it is dragged by its background" wintool drag "$LAUNCHER_TITLE" 40 30
check "to where the mouse went" tool_printed 'window at 40 30'
check "its close button ends it" wintool click "$LAUNCHER_TITLE" 1008 gone Palvio.exe
launch_finish
check "and the run" log_new_has 'dialog close'

# Two buttons of the sample skin, at positions 1 and 2 of the order 0012 (read as 12): the gap is
# (418 - 2 * 56 - 30) / 3 = 92.
setting Key_IsSupportSd no
setting Key_IsSupportMtp NO
setting Key_ButtonSequency 0012
launch_start
check "the window with two buttons" all window_shows "screen_capture '$LAUNCHER_TITLE' '$SHOTS/two-buttons.png'"
check "Palvio first" place_is 1000 "97 122 212 56 shown enabled"
check "dial-up second" place_is 1003 "97 270 212 56 shown enabled"
check "SD hidden and disabled" state_is 1001 "hidden disabled"
check "MTP too" state_is 1002 "hidden disabled"
SHOT="$SHOTS/two-buttons.png"
check "where SD stood, the background" screen_pixel_is "$SHOT" 98 63 "$BACK_TOP"
check "the closed window" window_closes

# The example skin: background 300 x 300, buttons 200 x 50, band 30, four buttons: the gap is
# (300 - 200 - 30) / 5 = 14, so the first button's top is 44 and the second's 108. The order 4321 and the
# switches YES, yes, Yes and yes.
cp -r "$MEDIUM/Res" "$PREFIX/sample-res"
python3 "$MAKE_BITMAP" --halves 300x300 dce6f2 f2f4f7 "$MEDIUM/Res/palviobk.bmp"
python3 "$MAKE_BITMAP" --solid 200x50 2b5797 "$MEDIUM/Res/button.bmp"
python3 "$MAKE_BITMAP" --solid 200x50 1e3f6f "$MEDIUM/Res/buttonsel.bmp"
setting Key_IsSupportMtp YES
setting Key_IsSupportSd yes
setting Key_IsSupportPalvio Yes
setting Key_IsSupportDialup yEs
setting Key_ButtonSequency 4321
log_mark
launch_start
check "the window of the example skin" all window_shows "screen_capture '$LAUNCHER_TITLE' '$SHOTS/example-4321.png'"
check "dial-up first, at 44" place_is 1003 "50 44 200 50 shown enabled"
check "Palvio second, at 108" place_is 1000 "50 108 200 50 shown enabled"
check "MTP third" place_is 1002 "50 172 200 50 shown enabled"
check "SD fourth" place_is 1001 "50 236 200 50 shown enabled"
check "the order is logged" log_new_has 'Button sequency is 4321'
check "the closed window" window_closes

# Switches YES, no, yes and Yes for MTP, SD, Palvio and dial-up, and no order: three buttons at the
# positions of 1234, the gap (300 - 150 - 30) / 4 = 30.
setting Key_IsSupportSd no
python3 - "$CFG" <<'PY'
import sys
path = sys.argv[1]
lines = open(path, newline="", encoding="latin-1").read().split("\n")
open(path, "w", newline="", encoding="latin-1").write("\n".join(l for l in lines if not l.startswith("Key_ButtonSequency=")))
PY
log_mark
launch_start
check "the window of three buttons" window_shows
check "MTP at position 2" place_is 1002 "50 140 200 50 shown enabled"
check "Palvio at 3" place_is 1000 "50 220 200 50 shown enabled"
check "dial-up at 4" place_is 1003 "50 300 200 50 shown enabled"
check "SD, switched off, is hidden and disabled" state_is 1001 "hidden disabled"
check "the missing order is logged empty" log_new_has 'Button sequency is '
check "the closed window" window_closes

# A broken skin and oversized texts: no background, no button image, no logo, a cut close image, captions
# of 259 characters, an order of ten digits.
rm -f "$MEDIUM/Res/palviobk.bmp" "$MEDIUM/Res/button.bmp" "$MEDIUM/Res/vender.bmp"
head -c 300 "$PREFIX/sample-res/exit.bmp" >"$MEDIUM/Res/exit.bmp"
setting Key_IsSupportSd yes
setting Key_ButtonSequency 1234567890
long=$(printf 'W%.0s' $(seq 1 255))
for key in Key_Button1 Key_Button2 Key_Button3; do
    set_profile "$MEDIUM/autorunlanguage.ini" Section_LID0x0809 "$key" "${long}   x"
done
set_profile "$MEDIUM/autorunlanguage.ini" Section_LID0x0809 Key_Button4 "$(printf 'Dial%.0s' $(seq 1 64))abc"
log_mark
launch_start
check "the window still shows" all window_shows "screen_capture '$LAUNCHER_TITLE' '$SHOTS/broken-skin.png'"
read -r width height < <(screen_size "$SHOTS/broken-skin.png")
check "at its template's size (${width} x ${height})" all "[ $width -gt 200 ]" "[ $height -gt 200 ]"
check "the missing background is logged" \
    log_new_has 'ERR: The background E:\Res\palviobk.bmp is missing or damaged; the window keeps its size'
check "and the missing button image" \
    log_new_has 'ERR: The button image E:\Res\button.bmp is missing or damaged; the buttons keep their size'
check "the cut close image is refused" log_new_has 'ERR: Bitmap file E:\Res\exit.bmp is missing or damaged.'
check "the close button shows the built-in image at its size, 5 from the right" \
    place_is 1008 "$((width - 21 - 5)) 3 21 23 shown enabled"
check "the logo the built-in image too, not the window's size" place_is 1007 "5 3 21 23 shown disabled"
check "the ten-digit order puts SD far below the window" top_is 1001 32767
check "the units digit 0 puts dial-up over the band" state_is 1003 "shown enabled"
check "the long captions are read" \
    log_new_starts "Info:The value of config(Section:Section_LID0x0809; Key:Key_Button1) is WWWWWWWWWW"
check "every one of them" log_new_lacks 'Err:Get config(Section:Section_LID0x0809;' 
check "a click on the close button ends it" wintool click "$LAUNCHER_TITLE" 1008 gone Palvio.exe
launch_finish
check "as it should" log_new_has 'dialog close'
check "the launcher did not crash" log_new_has 'program success exit'

scenario_end
