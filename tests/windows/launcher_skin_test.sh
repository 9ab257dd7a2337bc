#!/usr/bin/env bash
# The launcher's controls and resources as a person sees them (launcher_skin_test.cpp): the launcher
# window and its about box, then its owner-drawn buttons (two-line and one-line captions, no skin, hovered)
# and the built-in image of a bitmap button.
# Usage: launcher_skin_test.sh PROGRAM SCREENSHOT_DIR
SKIN_PROGRAM=$1
SKIN_SHOTS=$2
SKIN_TITLE="Launcher skin test"
. "$(dirname "$0")/skin_test.sh"

skin_begin
solid_bmp button.bmp 40x15 204080
solid_bmp buttonsel.bmp 40x15 206020
head -c 1000 "$WORK/button.bmp" >"$WORK/truncated.bmp"
skin_start

SKIN="32 64 128" HOVER_SKIN="32 96 32" WHITE="255 255 255"
LIGHT='r > 200 && g > 200 && b > 200'

step 1 launcher-window
read -r width height < <(screen_size "$SHOT")
read -r client_width client_height < <(grep -o 'is 203 x 209 dialog units: [0-9]* x [0-9]* pixels' \
    "$WORK/report.txt" | awk '{print $7, $9}')
: "${client_width:=0}" "${client_height:=0}"
check "the launcher window shows at its template's size and a thin border ($width x $height)" \
    [ "$width $height" = "$((client_width + 2)) $((client_height + 2))" ]
check "its logo button fell back to the built-in image 172" \
    pixel_is $((1 + 6 * client_width / 203 + 5)) $((1 + 6 * client_height / 209 + 6)) "$WHITE"
go

step 2 about-box "About Palvio"
read -r width height < <(screen_size "$SHOT")
check "the about box of template 100 shows ($width x $height)" all '[ "$width" -gt 150 ]' '[ "$height" -gt 60 ]'
go

step 3 buttons
check "the skin is stretched over the whole button" all "pixel_is 11 11 '$SKIN'" "pixel_is 168 68 '$SKIN'"
# Two 20-pixel bands 5 apart, centred: (60 - 45) / 2 = 7, so rows 17..37 and 42..62 of the window.
read -r x0 y0 x1 y1 _ < <(screen_bounds "$SHOT" 10 17 160 20 "$LIGHT")
check "Install   Now: the first line in the upper band" within "$y0" 17 36
first=$((x1 - x0))
check "centred" within $(((x0 + x1) / 2)) 86 94
read -r x0 y0 x1 y1 _ < <(screen_bounds "$SHOT" 10 42 160 20 "$LIGHT")
check "the second line in the lower band" within "$y0" 42 61
check "Install is wider than Now" [ "$first" -gt $((x1 - x0)) ]
check "nothing between the bands" [ "$(screen_bounds "$SHOT" 10 38 160 3 "$LIGHT")" = none ]
check "blanks only at its ends: one line in the middle" all '[ "$(screen_bounds "$SHOT" 10 80 160 18 "$LIGHT")" = none ]' \
    '[ "$(screen_bounds "$SHOT" 10 122 160 18 "$LIGHT")" = none ]' '[ "$(screen_bounds "$SHOT" 10 98 160 24 "$LIGHT")" != none ]'
check "a missing skin leaves the button unpainted" pixel_is_not 11 151 "$SKIN"
check "its caption is still drawn" [ "$(screen_bounds "$SHOT" 10 150 160 60 "$LIGHT")" != none ]
check "a cut bitmap file: the built-in image 172 (border, face, cross)" \
    all "pixel_is 181 10 '31 63 111'" "pixel_is 182 12 '58 110 165'" "pixel_is 185 16 '$WHITE'"
check "the refused file is logged" log_has launcher_skin_test \
    'ERR: Bitmap file C:\skintest\noskin.bmp is missing or damaged.'
go

step 4 hover
check "under the mouse: the hover skin" screen_wait_pixel "$TITLE" "$SHOT" 11 11 "$HOVER_SKIN"
check "the other buttons keep theirs" pixel_is 11 81 "$SKIN"
go

skin_finish
scenario_end
