# Looking at windows on the X display as a person would: find a window by its title, save it as a PNG,
# read its pixels back. Sourced by the window test scripts. Coordinates are the window's own (0,0 at its
# top-left corner); colours are "R G B" in decimal.
SCREEN_CONVERT=/usr/bin/convert

# screen_wait_window TITLE [SECONDS]: waits until a window of that title is on the display.
screen_wait_window() {
    local title=$1 seconds=${2:-60} i
    for ((i = 0; i < seconds * 10; i++)); do
        xwd -silent -name "$title" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "  no window '$title' within $seconds s"
    false
}

# screen_capture TITLE FILE: saves the window as a PNG file.
screen_capture() {
    local title=$1 file=$2
    xwd -silent -name "$title" 2>/dev/null | "$SCREEN_CONVERT" xwd:- "png:$file" 2>/dev/null ||
        { echo "  cannot capture the window '$title'"; return 1; }
}

# screen_size FILE: "WIDTH HEIGHT".
screen_size() { "$SCREEN_CONVERT" "$1" -format '%w %h' info:; }

# The pixels of a region as lines "X Y R G B" (region coordinates are absolute).
screen_region() {
    local file=$1 x=$2 y=$3 width=$4 height=$5
    "$SCREEN_CONVERT" "$file" -crop "${width}x${height}+${x}+${y}" -depth 8 txt:- |
        awk -v ox="$x" -v oy="$y" -F'[,:() ]+' '!/^#/ { print $1 + ox, $2 + oy, $3, $4, $5 }'
}

# screen_pixel FILE X Y: "R G B".
screen_pixel() { screen_region "$1" "$2" "$3" 1 1 | awk '{ print $3, $4, $5 }'; }

# screen_pixel_is FILE X Y "R G B" [WHAT]: the check, with the colour found when it fails.
screen_pixel_is() {
    local found
    found=$(screen_pixel "$1" "$2" "$3")
    [ "$found" = "$4" ] || { echo "  pixel ($2,$3) of $(basename "$1") is ($found), expected ($4)"; false; }
}

# screen_bounds FILE X Y W H CONDITION: "MINX MINY MAXX MAXY COUNT" of the region's pixels for which the awk
# CONDITION over r, g, b holds (e.g. 'r + g + b < 200'); "none" when there are none.
screen_bounds() {
    local file=$1 condition=$6
    screen_region "$file" "$2" "$3" "$4" "$5" | awk "
        { r = \$3; g = \$4; b = \$5 }
        $condition { if (!n || \$1 < x0) x0 = \$1; if (!n || \$1 > x1) x1 = \$1
                     if (!n || \$2 < y0) y0 = \$2; if (!n || \$2 > y1) y1 = \$2; n++ }
        END { if (n) print x0, y0, x1, y1, n; else print \"none\" }"
}

# screen_run_end FILE X Y: the first X to the right of (X, Y) whose colour differs from the one at (X, Y).
screen_run_end() {
    local file=$1 x=$2 y=$3 width
    width=$(screen_size "$file" | cut -d' ' -f1)
    screen_region "$file" "$x" "$y" $((width - x)) 1 |
        awk 'NR == 1 { c = $3 " " $4 " " $5 } $3 " " $4 " " $5 != c { print $1; found = 1; exit }
             END { if (!found) print "end" }'
}

# screen_wait_pixel TITLE FILE X Y "R G B" [SECONDS]: captures the window until the pixel has that colour
# (a hover shows after the system's hover time); the last capture stays in FILE.
screen_wait_pixel() {
    local title=$1 file=$2 x=$3 y=$4 colour=$5 seconds=${6:-10} i
    for ((i = 0; i < seconds * 5; i++)); do
        screen_capture "$title" "$file" >/dev/null && [ "$(screen_pixel "$file" "$x" "$y")" = "$colour" ] && return 0
        sleep 0.2
    done
    screen_pixel_is "$file" "$x" "$y" "$colour"
}
