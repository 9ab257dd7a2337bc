# What the launcher's scenarios share: a simulated PC with the medium of package/ as its CD-ROM E:, the
# plug-in library double in place of the shipped library, and the launcher started as autorun starts it: from
# the medium's root, with that root as its current folder. Sourced by scripts called as
# SCRIPT SHIP_TREE_I686 SHIP_TREE_X86_64; the test trees come as SUITE_TEST_TREE32 and SUITE_TEST_TREE64.
. "$(dirname "${BASH_SOURCE[0]}")/installer.sh"

TEST_TREE32=${SUITE_TEST_TREE32:-}
TEST_TREE64=${SUITE_TEST_TREE64:-}
PLUGIN_DOUBLE="$TEST_TREE32/tests/doubles/plugin/PalvioPlugin.dll"
STANDARD_USER="$TEST_TREE32/tests/scenarios/standard_user.exe"
LAUNCHER_TITLE=Palvio # ProgramName of the sample texts
# The log lines the checks look at are the launcher's unless a check names another program.
LOG_NAME=Palvio

launcher_command() {
    if [ "${1:-}" = --standard-user ]; then
        LAUNCHER_COMMAND=("$STANDARD_USER" 'E:\Palvio.exe')
    else
        LAUNCHER_COMMAND=("$MEDIUM/Palvio.exe")
    fi
}

# launcher_begin win32|win64 CURRENTVERSION [BUILDLABEX]: installer_begin, then the plug-in double (answering
# its defaults) at the medium's root and the medium as the device's CD-ROM E:. JOURNAL is the double's journal,
# STATUS_FILE the install status file.
launcher_begin() {
    LAUNCHER_KIND=$1
    installer_begin "$@"
    [ -f "$PLUGIN_DOUBLE" ] || { echo "FAIL: the plug-in double is not built ('$PLUGIN_DOUBLE')"; exit 1; }
    [ -f "$MEDIUM/Palvio.exe" ] || { echo "FAIL: the medium holds no Palvio.exe"; exit 1; }
    [ -f "$STANDARD_USER" ] || { echo "FAIL: standard_user.exe is not built ('$STANDARD_USER')"; exit 1; }
    cp "$PLUGIN_DOUBLE" "$MEDIUM/PalvioPlugin.dll"
    JOURNAL="$MEDIUM/PalvioPlugin.journal"
    STATUS_FILE="$TEMP_DIR/QvInstallDriveCfg.ini"
    plugin_answers
    device_cdrom E: || exit 1
}

# plugin_answers [ENTRY=ANSWERS...]: what the double answers (see tests/doubles/plugin); the journal starts
# anew.
plugin_answers() {
    { printf '[Answers]\r\n'; [ $# = 0 ] || printf '%s\r\n' "$@"; } >"$MEDIUM/PalvioPlugin.ini"
    rm -f "$JOURNAL"
}

# launch [--standard-user]: the launcher as autorun starts it, from the medium's root with that root as its
# current folder, waited for; STATUS is its exit status. With --standard-user it runs as a user without
# administrator rights.
launch() {
    launcher_command "$@"
    pushd "$MEDIUM" >/dev/null || return 1
    run "${LAUNCHER_COMMAND[@]}"
    popd >/dev/null || return 1
}

# launch_start [--standard-user]: the same without waiting (a launcher that shows its window); launch_finish
# waits for it.
launch_start() {
    launcher_command "$@"
    pushd "$MEDIUM" >/dev/null || return 1
    wine_exec "$PREFIX" "${LAUNCHER_COMMAND[@]}" &
    LAUNCHER_PID=$!
    popd >/dev/null || return 1
}
launch_finish() {
    STATUS=0
    wait "$LAUNCHER_PID" || STATUS=$?
}

# The journal of the plug-in double holds a line that is exactly TEXT / no line that holds TEXT.
journal_has() { file_has_line "$JOURNAL" "$1"; }
journal_lacks() {
    ! tr -d '\r' <"$JOURNAL" 2>/dev/null | grep -F -- "$1" >/dev/null ||
        { echo "  the journal holds '$1':"; sed 's/^/    /' "$JOURNAL"; false; }
}
# The journal holds these lines in this order (others may come between).
journal_in_order() {
    local wanted=("$@") next=0 line
    while IFS= read -r line && [ "$next" -lt "${#wanted[@]}" ]; do
        [ "$line" = "${wanted[$next]}" ] && next=$((next + 1))
    done < <(tr -d '\r' <"$JOURNAL" 2>/dev/null)
    [ "$next" = "${#wanted[@]}" ] ||
        { echo "  no journal line '${wanted[$next]}' after the ones before it in:"; sed 's/^/    /' "$JOURNAL"; false; }
}
# stamp_line PROGRAM TEXT: when the first line of PROGRAM that is exactly TEXT appeared in the stamped log
# (log_stamp_start), in ms.
stamp_line() {
    awk -v text="$1: $2" 'substr($0, 34) == text { print $1; exit }' "$STAMPED" | tr -d '\r'
}
# The journal's lines are exactly these (CR LF removed).
journal_is() {
    local expected actual
    expected=$(printf '%s\n' "$@")
    actual=$(tr -d '\r' <"$JOURNAL" 2>/dev/null)
    [ "$actual" = "$expected" ] || { echo "  the journal holds:"; sed 's/^/    /' <<<"$actual"; false; }
}

# The launcher's window is on screen / has been closed and the launcher has ended.
window_shows() { wintool wait "$LAUNCHER_TITLE"; }
window_closes() { wintool close "$LAUNCHER_TITLE" gone Palvio.exe && launch_finish; }

# The staged installer's window shows; it is closed and the installer ends (64-bit installer on win64).
installer_window_closes() {
    local name=Instoria.exe
    [ "$LAUNCHER_KIND" = win64 ] && name=Instoria64.exe
    wintool close "$WINDOW_TITLE" gone "$name"
}

# oem_inf NUMBER TEXT [--no-pnf | --name NAME]: a driver information file in the Windows INF folder (written
# straight into the prefix: the launcher only reads it), with its .PNF twin unless --no-pnf. --name gives the
# file another name (its twin then none).
oem_inf() {
    local number=$1 text=$2 inf_dir="$DRIVE_C/windows/inf"
    mkdir -p "$inf_dir"
    case "${3:-}" in
    --no-pnf) printf '%s\r\n' "$text" >"$inf_dir/oem$number.inf" ;;
    --name) printf '%s\r\n' "$text" >"$inf_dir/$4" ;;
    *)
        printf '%s\r\n' "$text" >"$inf_dir/oem$number.inf"
        printf 'PNF\r\n' >"$inf_dir/oem$number.PNF"
        ;;
    esac
}

# INF texts that name the device's interfaces and its driver file (the sample profile's IDs and name).
MODEM_INF=$'[Models.NTx86]\r\n%Modem%=Install,USB\\VID_2F5E&PID_7A01&MI_00\r\n[Files]\r\nqvusbser.sys'
SERIAL_INF=$'[Models.NTx86]\r\n%Serial%=Install,USB\\VID_2F5E&PID_7A01&MI_01\r\n[Files]\r\nqvusbser.sys'
BOTH_INF="$MODEM_INF"$'\r\n%Serial%=Install,USB\\VID_2F5E&PID_7A01&MI_01'

# The driver file in the system's driver folder as a 64-bit program sees it (the native one).
driver_file() { sim driver-place 'E:\Driver\Win7\qvusbser.sys'; }

# The card-reader identity of the device (the profile's Key_UDiskId with the mass-storage class).
add_card_reader() {
    sim device-add --instance 'USB\VID_2F5E&PID_7A03\PALVIO0002' --class USB \
        --hwid 'USB\VID_2F5E&PID_7A03&REV_0231,USB\VID_2F5E&PID_7A03' \
        --compat 'USB\Class_08&SubClass_06&Prot_50,USB\Class_08&SubClass_06,USB\Class_08'
}
