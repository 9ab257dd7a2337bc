# What the scenario scripts share: a simulated PC (a fresh Wine prefix) for the script's duration, running
# programs in it, and checks on what they leave. Sourced; the script names its checks with `check`.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../harness/wine.sh"

SCENARIO_FAILURES=0

# The simulated PC's tool of each architecture, as the test tree passes them.
SIMPC32=${SUITE_SIMPC32:-}
SIMPC64=${SUITE_SIMPC64:-}

# scenario_begin win32|win64: a fresh prefix in PREFIX, C:\ in DRIVE_C; ended when the script exits. SIMPC is
# the simulated PC's tool that fits the prefix: the 64-bit one on win64, which reaches the native registry
# and system32 as a 64-bit program does. With SUITE_KEEP_LOG set, the prefix's diagnostic log is copied
# there before the prefix goes (the demo keeps it). The prefix is made in SUITE_WINE_RUNS when it is set (a
# folder of the caller's own), else in the template folder's runs/.
scenario_begin() {
    [ -n "${SUITE_WINE_DIR:-}" ] || wine_fail "SUITE_WINE_DIR is not set"
    local runs=${SUITE_WINE_RUNS:-$SUITE_WINE_DIR/runs}
    mkdir -p "$runs"
    PREFIX=$(mktemp -d "$runs/$1.XXXXXX") || wine_fail "cannot make a run folder"
    trap 'scenario_keep_log; wine_prefix_end "$PREFIX"' EXIT
    wine_prefix_new "$1" "$PREFIX"
    DRIVE_C="$PREFIX/drive_c"
    LOG="$DRIVE_C/windows/temp/AutoRunLog.tmp"
    if [ "$1" = win64 ]; then SIMPC=$SIMPC64; else SIMPC=$SIMPC32; fi
}

scenario_keep_log() {
    if [ -n "${SUITE_KEEP_LOG:-}" ] && [ -f "$LOG" ]; then cp "$LOG" "$SUITE_KEEP_LOG"; fi
}

# run PROGRAM [ARGS...]: runs a Windows program in the scenario's prefix; sets STATUS to its exit status.
run() {
    STATUS=0
    wine_exec "$PREFIX" "$@" || STATUS=$?
}

# sim COMMAND [ARGS...]: changes the simulated PC with simpc.exe (see tests/README.md) in the scenario's prefix.
# Its output goes to SIM_OUTPUT (and the script's output); a failure counts as a failed check. sim32 and
# sim64 pick the tool of that architecture; on win64 sim32 sees what a 32-bit program sees.
sim() {
    if [ -z "${SIMPC:-}" ] || [ ! -f "$SIMPC" ]; then
        echo "FAIL: sim $1: simpc.exe is not built here ('${SIMPC:-}'; the test tree sets SUITE_SIMPC32/64)"
        SCENARIO_FAILURES=$((SCENARIO_FAILURES + 1))
        return 1
    fi
    run "$SIMPC" "$@" >"$PREFIX/sim-output"
    SIM_OUTPUT=$(cat "$PREFIX/sim-output")
    # Shown in the script's output, the first lines of a long listing only.
    [ -z "$SIM_OUTPUT" ] || printf '%s\n' "$SIM_OUTPUT" | sed -n '1,8s/^/  sim: /p; 9{s/.*/  sim: .../p; q}'
    if [ "$STATUS" != 0 ]; then
        echo "FAIL: sim $*: exit status $STATUS"
        SCENARIO_FAILURES=$((SCENARIO_FAILURES + 1))
        return 1
    fi
}
sim32() { SIMPC=$SIMPC32 sim "$@"; }
sim64() { SIMPC=$SIMPC64 sim "$@"; }

# The last sim command printed a line that is exactly TEXT.
sim_printed() {
    grep -qxF -- "$1" <<<"$SIM_OUTPUT" || { echo "  no line '$1' in:"; sed 's/^/    /' <<<"$SIM_OUTPUT"; false; }
}

# with_language 0x0407 COMMAND...: runs COMMAND (run, sim, ...) with that system default language (or a
# locale such as de_DE.UTF-8); export SUITE_WINE_LANG for the whole script.
with_language() {
    local language=$1
    shift
    SUITE_WINE_LANG=$language "$@"
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

# all 'COMMAND' ...: every command holds (for one check of several conditions).
all() {
    local command
    for command in "$@"; do
        eval "$command" || return 1
    done
}

# any 'COMMAND' ...: one of the commands holds (what the others print is dropped).
any() {
    local command
    for command in "$@"; do
        eval "$command" >/dev/null && return 0
    done
    eval "$1"
}

status_is() { [ "$STATUS" = "$1" ] || { echo "  exit status $STATUS, expected $1"; false; }; }

# The log holds a line whose message (after "name: ") is exactly TEXT, written by PROGRAM.
log_has() {
    local program=$1 text=$2
    # grep reads to the end (no -q): stopping early would fail the pipeline's writers under pipefail.
    tr -d '\r' <"$LOG" 2>/dev/null | cut -c20- | grep -xF -- "$program: $text" >/dev/null ||
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

# FILE holds a line that is exactly TEXT (line ends CR LF or LF).
file_has_line() {
    local file=$1 text=$2
    tr -d '\r' <"$file" 2>/dev/null | grep -xF -- "$text" >/dev/null ||
        { echo "  no line '$text' in $file:"; sed 's/^/    /' "$file" 2>/dev/null; false; }
}

# FILE holds the line TEXT within 10 s: for journals of programs started without being waited for, which may
# be written a moment after their starter has ended.
line_comes() {
    local i
    for ((i = 0; i < 100; i++)); do
        file_has_line "$1" "$2" >/dev/null && return 0
        sleep 0.1
    done
    file_has_line "$1" "$2"
}

scenario_end() {
    echo "$SCENARIO_FAILURES failed checks"
    [ "$SCENARIO_FAILURES" = 0 ]
}
