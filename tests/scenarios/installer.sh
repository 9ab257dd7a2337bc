# What the installer's scenarios share: a simulated PC with the medium of package/ as its CD-ROM, the
# installer started as a person would start it, message boxes answered and windows closed through wintool,
# and checks on the log lines a run adds. Sourced by scripts called as SCRIPT SHIP_TREE_I686 SHIP_TREE_X86_64.
. "$(dirname "${BASH_SOURCE[0]}")/scenario.sh"

SHIP_I686=$1
SHIP_X86_64=$2
MAKE_MEDIUM="$(dirname "${BASH_SOURCE[0]}")/../../package/make_medium.py"

# Of the sample package (package/Driver/drvcfg.ini and DrvLang.ini).
DEVICE_SIGN='Ven_Palvio&Prod_Virtual_CD-ROM'
DEVICE_HWID='USB\VID_2F5E&PID_7A01'
BOX_TITLE='Palvio Notice'
WINDOW_TITLE='Palvio Driver Installer'

# installer_begin win32|win64 CURRENTVERSION [BUILDLABEX] [--major N] [--build B]: a fresh simulated PC of that
# Windows edition (the arguments of simpc's edition command) and the assembled medium in MEDIUM (not yet a
# drive); with FAST_CLOCK=1 its programs are the fast-clock twins, whose pauses and waits run 20 times
# faster. TEMP_DIR is the user's temp folder (Linux path) and TEMP_WIN the same as the programs see it;
# WINTOOL the tool that fits the prefix.
installer_begin() {
    local kind=$1
    shift
    scenario_begin "$kind"
    if [ "$kind" = win64 ]; then WINTOOL=${SUITE_WINTOOL64:-}; else WINTOOL=${SUITE_WINTOOL32:-}; fi
    [ -n "$WINTOOL" ] && [ -f "$WINTOOL" ] || { echo "FAIL: wintool.exe is not built ('$WINTOOL')"; exit 1; }
    sim edition "$@" || exit 1
    MEDIUM="$PREFIX/medium"
    python3 "$MAKE_MEDIUM" "$SHIP_I686" "$SHIP_X86_64" "$MEDIUM" ${FAST_CLOCK:+--fast} 2>/dev/null ||
        { echo "FAIL: the medium could not be assembled"; exit 1; }
    TEMP_WIN=$(sed -n 's/^"TEMP"="\(.*\)"\r\{0,1\}$/\1/p' "$PREFIX/user.reg" | head -n 1 | sed 's/\\\\/\\/g')
    [ -n "$TEMP_WIN" ] || { echo "FAIL: the prefix names no TEMP folder"; exit 1; }
    TEMP_DIR=$(windows_to_linux "$TEMP_WIN")
    PACKAGE="$MEDIUM/Driver"
}

# The install status file: no status mark for the launcher in it (the file may hold a run's [result]).
no_status_mark() {
    local file="$TEMP_DIR/QvInstallDriveCfg.ini"
    ! tr -d '\r' <"$file" 2>/dev/null | grep -q '^status=' ||
        { echo "  $file holds a status mark:"; sed 's/^/    /' "$file"; false; }
}
# The installer's last run ended with exit status CODE at STEP, by its status (8 bits of it, as Linux
# passes it on) and by the [result] it wrote.
result_is() {
    local file="$TEMP_DIR/QvInstallDriveCfg.ini"
    status_is $(($1 % 256)) && file_has_line "$file" "code=$1" && file_has_line "$file" "step=$2" &&
        tr -d '\r' <"$file" | grep -qE '^time=[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$'
}

# A path of drive C: as the Linux path of the prefix's file.
windows_to_linux() {
    local path=${1#[Cc]:}
    printf '%s%s\n' "$DRIVE_C" "${path//\\//}"
}

# A storage-mode device: the identity the device shows before its drivers are in Windows.
add_storage_device() {
    sim device-add --instance "$DEVICE_HWID\\PALVIO0001" --class USB \
        --hwid "$DEVICE_HWID&REV_0231,$DEVICE_HWID" \
        --compat 'USB\Class_08&SubClass_06&Prot_50,USB\Class_08&SubClass_06,USB\Class_08'
}

# The multi-port device: a composite device with modem, serial and ADB interfaces.
add_multiport_device() {
    sim device-add --instance "$DEVICE_HWID\\PALVIO0001" --class USB --hwid "$DEVICE_HWID&REV_0231,$DEVICE_HWID" \
        --compat 'USB\DevClass_00&SubClass_00,USB\COMPOSITE' &&
        sim device-add --instance "$DEVICE_HWID&MI_00\\7&PALVIO&0&0000" --class Modem \
            --hwid "$DEVICE_HWID&REV_0231&MI_00,$DEVICE_HWID&MI_00" --compat 'USB\Class_02&SubClass_02,USB\Class_02' &&
        sim device-add --instance "$DEVICE_HWID&MI_01\\7&PALVIO&0&0001" --class Ports \
            --hwid "$DEVICE_HWID&REV_0231&MI_01,$DEVICE_HWID&MI_01" --compat 'USB\Class_ff&SubClass_ff,USB\Class_ff' &&
        sim device-add --instance "$DEVICE_HWID&MI_02\\7&PALVIO&0&0002" --class AndroidUsbDeviceClass \
            --hwid "$DEVICE_HWID&REV_0231&MI_02,$DEVICE_HWID&MI_02" --compat 'USB\Class_ff&SubClass_42&Prot_01,USB\Class_ff'
}

# device_cdrom X: the medium as the device's CD-ROM at drive X.
device_cdrom() { sim cdrom-define "$1" "$MEDIUM" --sign "$DEVICE_SIGN"; }

# start_at WINDOWS_PATH FILE [ARGS...]: starts FILE by that Windows path in the background (INSTALLER_PID);
# finish waits for it and sets STATUS.
start_at() {
    local as=$1
    shift
    WINE_PROGRAM_AS=$as wine_exec "$PREFIX" "$@" &
    INSTALLER_PID=$!
}
finish() {
    STATUS=0
    wait "$INSTALLER_PID" || STATUS=$?
}

# hold STEP NAME MS: wintool holds a file, shared with nobody (lock), or a named mutex (own) for MS ms in the
# background, and the script goes on once it does; HOLDER is that wintool, HOLDERS all of them.
HOLDERS=()
hold() {
    local out="$PREFIX/hold-${#HOLDERS[@]}.out" i
    wine_exec "$PREFIX" "$WINTOOL" "$1" "$2" "$3" >"$out" 2>&1 &
    HOLDER=$!
    HOLDERS+=("$HOLDER")
    for ((i = 0; i < 300; i++)); do
        grep -a -e '^locked' -e '^owned' "$out" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "  the holder did not start: $(cat "$out")"
    false
}

# wintool STEP ARGUMENT [...]: the steps of wintool.exe (answer, close, wait, gone); its output in TOOL_OUTPUT.
# The tool ends with 1 or 2 and its reason on stderr; any other failing status means it did not end its own
# way (it crashed, or Wine could not start it). Steps that only look are then taken once more, and the status
# is reported either way, so that a recurrence names itself.
wintool() {
    local status attempt
    for attempt in 1 2; do
        TOOL_OUTPUT=$(wine_exec "$PREFIX" "$WINTOOL" "$@")
        status=$?
        TOOL_OUTPUT=${TOOL_OUTPUT//$'\r'/} # a Windows console's line ends
        [ -z "$TOOL_OUTPUT" ] || printf '%s\n' "$TOOL_OUTPUT" | sed 's/^/  wintool: /'
        [ "$status" = 0 ] && return 0
        echo "  wintool: ended with status $status"
        case "$status" in 1 | 2) return "$status" ;; esac
        [ "$attempt" = 1 ] && wintool_only_looks "$@" || return "$status"
        echo "  wintool: not its own end; the steps only look, so once more"
    done
}
# The steps change nothing on the screen: taking them twice is the same as taking them once.
wintool_only_looks() {
    local i
    for ((i = 1; i <= $#; i += 2)); do
        case "${!i}" in
        wait | hidden | gone) ;;
        seen | place) i=$((i + 1)) ;;
        *) return 1 ;;
        esac
    done
}

# Lines the log holds from now on: log_mark, then log_new_has / log_new_lacks / log_new_count, each about
# lines of the program LOG_NAME (Instoria unless set). The lines are read whole before they are searched: a
# search that stops at its first match must not cut the reading short (pipefail would count that a failure).
log_mark() { LOG_MARK=$(tr -d '\r' 2>/dev/null <"$LOG" | wc -l); }
log_new() { tr -d '\r' 2>/dev/null <"$LOG" | tail -n "+$((LOG_MARK + 1))" | cut -c20-; }
log_new_has() {
    local lines
    lines=$(log_new)
    grep -qxF -- "${LOG_NAME:-Instoria}: $1" <<<"$lines" ||
        { echo "  no new line '${LOG_NAME:-Instoria}: $1' in the log:"; sed 's/^/    /' <<<"$lines"; false; }
}
# log_new_starts TEXT: a new line begins with TEXT (a line cut at the log's 259 characters, for one).
log_new_starts() {
    log_new | awk -v text="${LOG_NAME:-Instoria}: $1" 'index($0, text) == 1 { found = 1 } END { exit !found }' ||
        { echo "  no new line beginning '${LOG_NAME:-Instoria}: $1'"; false; }
}
log_new_lacks() {
    local lines
    lines=$(log_new)
    ! grep -qF -- "${LOG_NAME:-Instoria}: $1" <<<"$lines" || { echo "  a new line holds '${LOG_NAME:-Instoria}: $1'"; false; }
}
# log_new_count TEXT N: N new lines hold TEXT.
log_new_count() {
    local lines found
    lines=$(log_new)
    found=$(grep -cF -- "${LOG_NAME:-Instoria}: $1" <<<"$lines")
    [ "$found" = "$2" ] || { echo "  $found new lines hold '$1', expected $2"; false; }
}

# log_new_in_order TEXT...: new lines hold these messages in this order (others may come between).
log_new_in_order() {
    local lines wanted=("$@") next=0 line
    lines=$(log_new)
    while IFS= read -r line && [ "$next" -lt "${#wanted[@]}" ]; do
        [ "$line" = "${LOG_NAME:-Instoria}: ${wanted[$next]}" ] && next=$((next + 1))
    done <<<"$lines"
    [ "$next" = "${#wanted[@]}" ] ||
        { echo "  no new line '${wanted[$next]}' after the ones before it in:"; sed 's/^/    /' <<<"$lines"; false; }
}

tool_printed() { grep -qxF -- "$1" <<<"$TOOL_OUTPUT" || { echo "  wintool printed: $TOOL_OUTPUT"; false; }; }

# Every file given exists.
all_exist() {
    local file missing=0
    for file in "$@"; do
        [ -e "$file" ] || { echo "  missing: $file"; missing=1; }
    done
    [ "$missing" = 0 ]
}

# The test doubles of the test tree (SUITE_DOUBLES_DIR): the device's mode switch and the start-up tool.
DOUBLES=${SUITE_DOUBLES_DIR:-}

# use_doubles [KEY=VALUE...]: the portflip and Bootrel doubles in the medium's package folder (staging takes
# them to the temp folder with the installer), and the device's answer to the switch (device_play).
use_doubles() {
    cp "$DOUBLES/portflip/portflip.exe" "$DOUBLES/bootrel/Bootrel.exe" "$MEDIUM/Driver/" ||
        { echo "FAIL: the doubles are not built in '$DOUBLES' (the test tree sets SUITE_DOUBLES_DIR)"; exit 1; }
    device_play "$MEDIUM/Driver" "$@"
}

# device_play FOLDER [KEY=VALUE...]: how the device beside the portflip double in FOLDER answers "-switch"
# (portflip.ini [Play], delays in real milliseconds; the medium comes back as the CD-ROM). The installer
# watches the letter only once it has removed the storage node, 5 s after the switch (250 ms on the fast
# clock): a letter that goes and comes back before that is missed, as it would be with a real device.
device_play() {
    local folder=$1
    shift
    printf '%s\r\n' '[Play]' "CdromFolder=$MEDIUM" "$@" >"$folder/portflip.ini"
}

# stage_package: the medium's package folder in the temp folder, as the launcher's staging leaves it
# (STAGED), for scenarios that start the staged installer themselves. That installer takes nothing else from
# there: it reads its package from the device's CD-ROM that its first word names (PACKAGE, the medium's
# package folder, where a scenario changes what the installer is to find) into a folder of its own.
stage_package() {
    STAGED="$TEMP_DIR/Driver"
    mkdir -p "$STAGED"
    cp -r "$MEDIUM/Driver/." "$STAGED/"
}
# own_copy [N]: OWN is the package folder of the installer's own copy that the log names last (Linux path),
# or of the Nth (Instoria-N, when a copy that the run started may have made the next already), where the
# tools it starts run and write their journals; OWN_WIN the same as the programs see it.
own_copy() {
    local root
    root=$(tr -d '\r' <"$LOG" |
        sed -n 's/^.*: INF: The installer works from \(.*\), a folder that only administrators can change$/\1/p' |
        grep "${1:+Instoria-$1\$}" | tail -n 1)
    [ -n "$root" ] || { echo "  the log names no folder of the installer's own"; OWN=; return 1; }
    OWN_WIN="$root\\Driver"
    # The Windows folder's temp is "temp" in the prefix, whatever letter case the programs give it.
    OWN="$(find "$DRIVE_C/windows" -maxdepth 2 -iname "${root##*\\}" -print -quit)/Driver"
}

# set_profile FILE SECTION KEY VALUE: one value of an INI file, the key added when missing.
set_profile() {
    python3 - "$@" <<'PY'
import sys
path, section, key, value = sys.argv[1:5]
data = open(path, newline="", encoding="latin-1").read()
eol = "\r\n" if "\r\n" in data else "\n"
lines = data.split(eol)
out, current, done = [], None, False
for line in lines:
    stripped = line.strip()
    if stripped.startswith("[") and stripped.endswith("]"):
        if current == section and not done:
            out.append(f"{key}={value}")
            done = True
        current = stripped[1:-1]
    elif current == section and stripped.split("=", 1)[0].strip() == key and not done:
        line, done = f"{key}={value}", True
    out.append(line)
if not done:
    if current != section:
        out.append(f"[{section}]")
    out.append(f"{key}={value}")
open(path, "w", newline="", encoding="latin-1").write(eol.join(out))
PY
}

# log_wait TEXT [SECONDS]: waits until a new line of the log is exactly "Instoria: TEXT".
log_wait() {
    local text=$1 seconds=${2:-60} i
    for ((i = 0; i < seconds * 10; i++)); do
        log_new | grep -axF -- "${LOG_NAME:-Instoria}: $text" >/dev/null && return 0
        sleep 0.1
    done
    echo "  no new line '$text' within $seconds s"
    false
}

# The progress positions the new lines show, in order: "1 5 10 ...".
positions() { log_new | sed -n "s/^${LOG_NAME:-Instoria}: Process setup \([0-9]*\)\.\.\.$/\1/p" | tr '\n' ' ' | sed 's/ $//'; }
positions_are() {
    local found
    found=$(positions)
    [ "$found" = "$1" ] || { echo "  the positions were: $found"; false; }
}

# reg_value KEY NAME: "TYPE DATA" of a registry value as reg.exe shows it (empty when it is missing).
reg_value() {
    wine_exec "$PREFIX" "$DRIVE_C/windows/system32/reg.exe" query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { print $2, $3 }'
}

# The time wintool printed for its last "gone" step, in ms.
gone_after() { sed -n 's/^gone after \([0-9]*\) ms$/\1/p' <<<"$TOOL_OUTPUT" | tail -n 1; }

# log_stamp_start: from now on every line added to the log is also written to STAMPED, after the time in ms
# at which it appeared (the log's own stamps are whole seconds); log_stamp_stop ends that.
log_stamp_start() {
    STAMPED="$PREFIX/stamped.log"
    : >"$STAMPED"
    rm -f "$PREFIX/log.fifo"
    mkfifo "$PREFIX/log.fifo"
    tail -F -s 0.02 -n 0 "$LOG" >"$PREFIX/log.fifo" 2>/dev/null &
    STAMP_TAIL=$!
    # One process stamps every line as it comes (a program started per line would fall behind a burst).
    python3 -u -c 'import sys, time
for line in sys.stdin.buffer:
    sys.stdout.buffer.write(b"%d %s\n" % (time.time() * 1000, line.rstrip(b"\r\n")))
    sys.stdout.flush()' <"$PREFIX/log.fifo" >>"$STAMPED" &
    STAMP_LOOP=$!
}
log_stamp_stop() {
    kill "$STAMP_TAIL" 2>/dev/null
    wait "$STAMP_TAIL" "$STAMP_LOOP" 2>/dev/null
}
# stamp_of TEXT: when the first stamped line whose message begins with TEXT appeared (ms).
stamp_of() { awk -v text="Instoria: $1" 'index(substr($0, 34), text) == 1 { print $1; exit }' "$STAMPED"; }

# Windows names its copies of the registered INF files oemN.inf (with .PNF twins); Wine keeps the package's
# names, with which they would pass for INFs of Windows' own: the copies of the package's qv*.inf files are
# given Windows' names, each the first free number.
name_inf_copies_as_windows() {
    local dir="$DRIVE_C/windows/inf" inf number=0
    for inf in "$dir"/qv*.inf; do
        [ -e "$inf" ] || continue
        while [ -e "$dir/oem$number.inf" ]; do number=$((number + 1)); done
        mv "$inf" "$dir/oem$number.inf"
        [ ! -e "${inf%.inf}.pnf" ] || mv "${inf%.inf}.pnf" "$dir/oem$number.PNF"
    done
}

# medium_over_windows WINDOWS: the medium's package is the usual one over Windows' own drivers, and the
# simulated PC holds them as that Windows does (simpc windows-own-drivers xp|vista|10): the edition folders'
# INFs install the modem and the serial port over usbser.sys (Include=mdmcpq.inf), the ADB interface over
# winusb.sys with WinUSB's co-installer, and the folders hold no driver file; the profile names Windows'
# drivers.
medium_over_windows() {
    sim windows-own-drivers "$1" || exit 1
    local folder
    for folder in "$MEDIUM"/Driver/*/; do
        rm -f "$folder"*.sys
        printf 'placeholder' >"$folder/WinUSBCoInstaller2.dll"
        over_windows_inf Modem '{4D36E96D-E325-11CE-BFC1-08002BE10318}' 'USB\VID_2F5E&PID_7A01&MI_00' \
            $'Include=mdmcpq.inf\r\nCopyFiles=FakeModemCopyFileSection\r\n[Install.NT.Services]\r\nInclude=mdmcpq.inf\r\nAddService=usbser,0x00000000,LowerFilter_Service_Inst' \
            >"$folder/qvmdm.inf"
        over_windows_inf Ports '{4D36E978-E325-11CE-BFC1-08002BE10318}' 'USB\VID_2F5E&PID_7A01&MI_01' \
            $'Include=mdmcpq.inf\r\nNeeds=FakeModemCopyFileSection\r\n[Install.NT.Services]\r\nAddService=usbser,0x00000002,LowerFilter_Service_Inst' \
            >"$folder/qvser.inf"
        over_windows_inf AndroidUsbDeviceClass '{3F966BD9-FA04-4EC5-991C-D326973B5128}' 'USB\VID_2F5E&PID_7A01&MI_02' \
            $'Include=winusb.inf\r\nNeeds=WINUSB.NT\r\n[Install.NT.Services]\r\nInclude=winusb.inf\r\nAddService=WinUSB,0x00000002,WinUSB_ServiceInstall\r\n[WinUSB_ServiceInstall]\r\nServiceType=1\r\nStartType=3\r\nServiceBinary=%12%\\WinUSB.sys\r\n[Install.NT.CoInstallers]\r\nCopyFiles=CoInstallers_CopyFiles\r\n[CoInstallers_CopyFiles]\r\nWinUSBCoInstaller2.dll' \
            >"$folder/qvadb.inf"
    done
    set_profile "$MEDIUM/Driver/drvcfg.ini" Section_Driver Key_UsbDriverName usbser.sys
    set_profile "$MEDIUM/Driver/drvcfg.ini" Section_Driver Key_AdbUsbDriverName winusb.sys
}
# over_windows_inf CLASS GUID HWID INSTALL: one INF of that package (its Install.NT section's lines given).
over_windows_inf() {
    printf '%s\r\n' '[Version]' 'Signature="$Windows NT$"' "Class=$1" "ClassGUID=$2" 'Provider=%Maker%' \
        'DriverVer=06/15/2011,2.1.0.8' '[Manufacturer]' '%Maker%=Models,NTx86,NTamd64' '[Models.NTx86]' \
        "%Device%=Install,$3" '[Models.NTamd64]' "%Device%=Install,$3" '[Install.NT]' "$4" \
        '[Strings]' 'Maker="Palvio"' 'Device="Palvio device"'
}
