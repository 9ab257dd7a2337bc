# What the two skin window tests share: the test program run in the background of a fresh prefix, steps in
# time with it, and its report. Sourced; SKIN_PROGRAM and SKIN_SHOTS are set by the script.
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/../scenarios/scenario.sh"
. "$here/../harness/screen.sh"
MAKE_BITMAP="$here/../../scripts/make_bitmap.py"

# skin_begin: a fresh prefix of the program's kind and the work folder C:\skintest\ (WORK).
skin_begin() {
    rm -rf "$SKIN_SHOTS"
    mkdir -p "$SKIN_SHOTS"
    scenario_begin "$(wine_kind_for_arch "$(wine_program_arch "$SKIN_PROGRAM")")"
    WORK="$DRIVE_C/skintest"
    mkdir -p "$WORK"
}

# solid_bmp NAME WxH RRGGBB: a one-colour bitmap in the work folder.
solid_bmp() { python3 "$MAKE_BITMAP" --solid "$2" "$3" "$WORK/$1"; }

skin_start() {
    SKIN_STARTED=$SECONDS
    wine_exec "$PREFIX" "$SKIN_PROGRAM" 'C:\skintest\' &
    SKIN_RUNNER=$!
}

# step N NAME [TITLE]: waits for the program's step N (its window titled TITLE, "$SKIN_TITLE N" unless given) and
# saves the window as SHOT (screenshots/NN-NAME.png); gives up the whole run when it does not come.
step() {
    STEP=$1
    TITLE=${3:-"$SKIN_TITLE $1"}
    SHOT="$SKIN_SHOTS/$(printf %02d "$1")-$2.png"
    if ! screen_wait_window "$TITLE" 90 || ! screen_capture "$TITLE" "$SHOT"; then
        echo "FAIL: step $STEP ($2) did not come"
        SCENARIO_FAILURES=$((SCENARIO_FAILURES + 1))
        skin_report
        scenario_end
        exit 1
    fi
}

# go: lets the program go on from the current step.
go() { touch "$WORK/go-$STEP"; }

# skin_finish: waits for the program's end and checks its report: every line "ok:", the last "ok: done".
skin_finish() {
    STATUS=0
    wait "$SKIN_RUNNER" || STATUS=$?
    check "the program ends on its own with status 0" status_is 0
    skin_report
    check "every check of the program itself passed" report_clean
    echo "the program ran $((SECONDS - SKIN_STARTED)) s; screenshots in $SKIN_SHOTS"
}

skin_report() {
    echo "  report of the program:"
    sed 's/^/    /' "$WORK/report.txt" 2>/dev/null | tr -d '\r'
}

report_clean() {
    [ -s "$WORK/report.txt" ] && ! grep -q '^FAIL' "$WORK/report.txt" && tail -n 1 "$WORK/report.txt" | grep -q '^ok: done'
}

# Checks over the current SHOT.
pixel_is() { screen_pixel_is "$SHOT" "$@"; }
pixel_is_not() {
    local found
    found=$(screen_pixel "$SHOT" "$1" "$2")
    [ "$found" != "$3" ] || { echo "  pixel ($1,$2) is ($3)"; false; }
}
# within VALUE LOW HIGH
within() { [ "$1" != none ] && [ "$1" -ge "$2" ] && [ "$1" -le "$3" ] || { echo "  $1 is not within $2..$3"; false; }; }
