#!/usr/bin/env bash
# What the shipped launcher's start-up costs: the time from its start to its decision on Windows XP with the
# device in its storage identity, 2000 added driver packages (oem*.inf with their twins, none of them the
# device's) and 20, then 500, device nodes, against an empty Win32 program started the same way. The road
# taken is the one that asks every probe (card reader, storage identity, driver files, applications) and ends
# without a window: an application runs, so the launcher calls the installer (none is staged).
# Prints the times and their ratio; fails when a run does not reach its decision or takes longer than a
# minute. STARTUP_RUNS (5 unless set) is how many runs each median is taken of: 'make check' asks for 1,
# since it checks the decision, not the speed; 'make bench' takes the median of 5.
# Usage: launcher_startup_cost.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

RUNS=${STARTUP_RUNS:-5}
EMPTY="$TEST_TREE32/tests/scenarios/empty.exe"

launcher_begin win32 5.1
[ -f "$EMPTY" ] || { echo "FAIL: empty.exe is not built ('$EMPTY')"; exit 1; }
cp "$EMPTY" "$MEDIUM/empty.exe"
add_storage_device
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
inf_dir="$DRIVE_C/windows/inf"
for ((n = 100; n < 2100; n++)); do
    sed "s/PID_7A01/PID_$n/g" "$MEDIUM/Driver/Win7/qvser.inf" >"$inf_dir/oem$n.inf"
    printf 'PNF\r\n' >"$inf_dir/oem$n.PNF"
done

# The median of RUNS runs of a command, in milliseconds.
median_ms() {
    local i start times=()
    for ((i = 0; i < RUNS; i++)); do
        start=$(date +%s%N)
        "$@"
        times+=($((($(date +%s%N) - start) / 1000000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$((RUNS / 2 + 1))p"
}
run_empty() {
    pushd "$MEDIUM" >/dev/null && run "$MEDIUM/empty.exe"
    popd >/dev/null
}

measure() {
    local nodes=$1 empty launcher
    empty=$(median_ms run_empty)
    log_mark
    launcher=$(median_ms launch)
    check "with $nodes device nodes every run decided" log_new_count 'call_instoria()' "$RUNS"
    check "each found the storage identity, so looked at every INF file" \
        log_new_count 'Finded  device(usb\vid_2f5e&pid_7a01), SUC...' "$RUNS"
    check "within a minute" test "$launcher" -lt 60000
    echo "launcher start-up to its decision: $launcher ms with $nodes device nodes and 2000 oem*.inf files;" \
        "an empty program: $empty ms; ratio $(awk "BEGIN { printf \"%.1f\", $launcher / $empty }")"
}

sim device-add-many 19 --instance 'USB\VID_1234&PID_5678\SIM#' --hwid 'USB\VID_1234&PID_5678' || exit 1
measure 20
sim device-add-many 480 --first 19 --instance 'USB\VID_1234&PID_5678\SIM#' --hwid 'USB\VID_1234&PID_5678' || exit 1
measure 500

scenario_end
