# What the scenario scripts share: a simulated PC (a fresh Wine prefix) for the script's duration, running
# programs in it, and checks on what they leave. Sourced; the script names its checks with `check`.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../harness/wine.sh"

SCENARIO_FAILURES=0

# scenario_begin win32|win64: a fresh prefix in PREFIX, C:\ in DRIVE_C; ended when the script exits.
scenario_begin() {
    [ -n "${SUITE_WINE_DIR:-}" ] || wine_fail "SUITE_WINE_DIR is not set"
    mkdir -p "$SUITE_WINE_DIR/runs"
    PREFIX=$(mktemp -d "$SUITE_WINE_DIR/runs/$1.XXXXXX") || wine_fail "cannot make a run folder"
    trap 'wine_prefix_end "$PREFIX"' EXIT
    wine_prefix_new "$1" "$PREFIX"
    DRIVE_C="$PREFIX/drive_c"
    LOG="$DRIVE_C/windows/temp/AutoRunLog.tmp"
}

# run PROGRAM [ARGS...]: runs a Windows program in the scenario's prefix; sets STATUS to its exit status.
run() {
    STATUS=0
    wine_exec "$PREFIX" "$@" || STATUS=$?
}

check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        SCENARIO_FAILURES=$((SCENARIO_FAILURES + 1))
    fi
}

status_is() { [ "$STATUS" = "$1" ] || { echo "  exit status $STATUS, expected $1"; false; }; }

# The log holds a line whose message (after "name: ") is exactly TEXT, written by PROGRAM.
log_has() {
    local program=$1 text=$2
    tr -d '\r' <"$LOG" 2>/dev/null | cut -c20- | grep -qxF -- "$program: $text" ||
        { echo "  no line '$program: $text' in the log:"; sed 's/^/    /' "$LOG" 2>/dev/null; false; }
}

# Waits up to SECONDS for a file to appear.
file_appears() {
    local file=$1 seconds=${2:-30} i
    for ((i = 0; i < seconds * 10; i++)); do
        [ -e "$file" ] && return 0
        sleep 0.1
    done
    echo "  $file did not appear within $seconds s"
    false
}

scenario_end() {
    echo "$SCENARIO_FAILURES failed checks"
    [ "$SCENARIO_FAILURES" = 0 ]
}
