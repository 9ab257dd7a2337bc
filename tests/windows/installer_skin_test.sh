#!/usr/bin/env bash
# The installer's controls and resources as a person sees them (installer_skin_test.cpp): the installer
# window and its about box, then progress bars, owner-drawn buttons under the mouse and bitmap buttons.
# Usage: installer_skin_test.sh PROGRAM SCREENSHOT_DIR
SKIN_PROGRAM=$1
SKIN_SHOTS=$2
SKIN_TITLE="Installer skin test"
. "$(dirname "$0")/skin_test.sh"

skin_begin
solid_bmp normal.bmp 30x20 0000ff
solid_bmp hover.bmp 30x20 00ff00
solid_bmp pressed.bmp 30x20 ff0000
solid_bmp exit.bmp 24x24 ff00ff
solid_bmp exitsel.bmp 24x24 00ffff
head -c 1000 "$WORK/exit.bmp" >"$WORK/truncated.bmp"
echo "not a bitmap" >"$WORK/foreign.bmp"
skin_start

GREY="133 133 133" WHITE="255 255 255" YELLOW="255 255 0" SILVER="192 192 192"
BLUE="0 0 255" GREEN="0 255 0" RED="255 0 0" MAGENTA="255 0 255" CYAN="0 255 255"
DARK='r + g + b < 150'

step 1 installer-window
read -r width height < <(screen_size "$SHOT")
units=$(grep -o 'is 200 x 71 dialog units: [0-9]* x [0-9]* pixels' "$WORK/report.txt" | awk '{print $7, $9}')
check "the installer window shows at its template's size ($width x $height)" [ "$width $height" = "$units" ]
# At 50% the bar covers the left part of the progress control (template place 23, 41, 157 x 22).
check "its progress bar is bound and painted" \
    screen_wait_pixel "$TITLE" "$SHOT" $((40 * width / 200)) $((52 * height / 71)) "$GREY"
go

step 2 about-box "About Instoria"
read -r width height < <(screen_size "$SHOT")
check "the about box of template 100 shows ($width x $height)" all '[ "$width" -gt 150 ]' '[ "$height" -gt 60 ]'
go

step 3 controls
check "a disabled bitmap button without its own image shows the normal one" \
    screen_wait_pixel "$TITLE" "$SHOT" 372 112 "$MAGENTA"
BACK=$(screen_pixel "$SHOT" 195 140)
check "an empty bar still covers 20 pixels" within "$(screen_run_end "$SHOT" 12 13)" 29 31
read -r x0 _ x1 _ _ < <(screen_bounds "$SHOT" 10 10 150 20 "$DARK")
check "the text (0%) stands right after the bar" within "$x0" 30 34
empty_text=$((x1 - x0))
check "a position of 150 fills the bar" within "$(screen_run_end "$SHOT" 12 43)" 160 160
read -r x0 _ x1 _ _ < <(screen_bounds "$SHOT" 10 40 150 20 "$DARK")
check "its text (100%) is right-aligned at the edge" within "$x1" 155 159
check "and twice as wide as 0%" within $((x1 - x0)) $((empty_text * 3 / 2)) $((empty_text * 3))
check "a narrow bar at 90% ends at 20 + 40 * 0.9" within "$(screen_run_end "$SHOT" 12 73)" 65 67
read -r x0 _ x1 _ _ < <(screen_bounds "$SHOT" 10 70 60 20 "$DARK")
check "its text would run past the edge: right-aligned there, over the bar" within "$x1" 65 69
check "a range of -5 counts as 100: 50 is half" within "$(screen_run_end "$SHOT" 12 103)" 94 96
check "the owner-drawn button shows its normal image" pixel_is 240 33 "$BLUE"
check "on the focus background: the first control has the focus" pixel_is 203 13 "$SILVER"
check "with its caption below the image" [ "$(screen_bounds "$SHOT" 200 44 80 25 "$DARK")" != none ]
check "the button without hover image shows its normal one" pixel_is 340 40 "$BLUE"
check "on the normal background colour" pixel_is 303 13 "$WHITE"
check "a bitmap button shows its file's image" pixel_is 212 112 "$MAGENTA"
check "sized to that image (24 pixels)" pixel_is_not 226 112 "$MAGENTA"
for x in 240 280 320; do
    what="missing file"
    [ $x = 280 ] && what="cut file"
    [ $x = 320 ] && what="foreign file"
    check "$what: the built-in image 136 (border, face, cross)" all "pixel_is $((x + 1)) 100 '60 60 60'" \
        "pixel_is $((x + 2)) 102 '110 110 110'" "pixel_is $((x + 5)) 106 '$WHITE'"
    check "$what: sized 21 x 23" all "pixel_is_not $((x + 22)) 110 '110 110 110'" \
        "pixel_is_not $((x + 10)) 124 '110 110 110'"
done
check "the page around the controls is the dialog's" pixel_is_not 195 140 "$GREY"
check "the refused files are logged" log_has installer_skin_test \
    'ERR: Bitmap file C:\skintest\truncated.bmp is missing or damaged.'
go

step 4 hover
check "under the mouse: the hover image" screen_wait_pixel "$TITLE" "$SHOT" 240 33 "$GREEN"
check "on the hover background" pixel_is 203 13 "$YELLOW"
go

step 5 pressed
check "pressed: the pressed image, one pixel down and right" screen_wait_pixel "$TITLE" "$SHOT" 241 34 "$RED"
check "still on the hover background" pixel_is 203 13 "$YELLOW"
go

step 6 released
check "released: the pressed image stays until the mouse leaves" screen_wait_pixel "$TITLE" "$SHOT" 240 33 "$RED"
go

step 7 hover-normal-only
check "the button without hover image: hover background" screen_wait_pixel "$TITLE" "$SHOT" 303 13 "$YELLOW"
check "and still its normal image" pixel_is 340 40 "$BLUE"
check "the button the mouse left: normal image" pixel_is 240 33 "$BLUE"
check "on the focus background (it was clicked)" pixel_is 203 13 "$SILVER"
go

step 8 pressed-normal-only
check "pressed without pressed or hover image: the normal one" screen_wait_pixel "$TITLE" "$SHOT" 341 41 "$BLUE"
check "the other button lost the focus" screen_wait_pixel "$TITLE" "$SHOT" 203 13 "$WHITE"
go

step 9 bitmap-button-pressed
check "a pressed bitmap button shows its selected image" screen_wait_pixel "$TITLE" "$SHOT" 212 112 "$CYAN"
go

step 10 after-escape-and-worker
check "escape did not close the window; a worker thread moved the bar to 40%" \
    within "$(screen_run_end "$SHOT" 12 13)" 81 83
check "and hid a bar" pixel_is 50 110 "$BACK"
go

skin_finish
scenario_end
