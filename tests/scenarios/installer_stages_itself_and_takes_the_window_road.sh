#!/usr/bin/env bash
# The shipped installer on Windows XP, started by hand from the device's CD-ROM: it stages its package folder
# into the temp folder and starts the staged copy with the drive and run mode 4, which takes the window road
# (the device shows its storage identity: the install worker's road). What it did not stage is moved aside.
# While that window is open, further installers end at the mutex, whatever their command line; "/uninstall"
# needs no mutex; one started from the medium leaves the staging folder as it is.
# Usage: installer_stages_itself_and_takes_the_window_road.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win32 5.1
# A switch tool that takes its time (and a device that does not answer it): the staged copy's worker waits
# for the tool, and its window stays while further installers are started.
use_doubles
printf '%s\r\n' '[Answer]' 'EndsAfter=600000' '[Play]' 'Modes=-none' >"$MEDIUM/Driver/portflip.ini"
# grep -L names the files that lack the text.
check "both installers carry the manifest that asks for administrator rights" test -z \
    "$(grep -L 'requireAdministrator' "$MEDIUM/Driver/Instoria.exe" "$MEDIUM/Driver/Instoria64.exe")"
add_storage_device
device_cdrom E:
staged="$TEMP_DIR/Driver"
# What another program planted in the staging folder for the elevated installer (a driver to place, a library
# to load), and a file of the user's: moved aside, neither deleted nor placed nor loaded.
mkdir -p "$staged/Win7"
cp "$MEDIUM/Driver/Win7/qvmdm.inf" "$staged/Win7/planted.inf"
for file in Win7/planted.sys version.dll notes.txt; do echo "planted $file" >"$staged/$file"; done

log_mark
run "$MEDIUM/Driver/Instoria.exe"
check "started from the medium, the installer runs from E:" log_new_has 'current run dir: E:\Driver\'
check "with no arguments but its own path" log_new_has 'param_print: param[0] = E:\Driver\Instoria.exe'
check "it finds the device's CD-ROM" log_new_has 'CDROM disk volume : E:'
check "and stages its folder" log_new_has 'Run InitalDriverSetup'
check "with XP's edition folder, Win7" \
    log_new_has 'make sure the temp driver folder then create it :\Win7 --AutoRun_GetTmpSysDrvDirName()--'
check "the package's files are in the temp folder" \
    all_exist "$staged/Instoria.exe" "$staged/Instoria64.exe" "$staged/drvcfg.ini" "$staged/DrvLang.ini" \
    "$staged/Win7/qvmdm.inf" "$staged/Win7/qvusbser.sys" "$staged/Res/DrvInstall.bmp" "$staged/Res/vender.ico"
check "other editions' folders are not" test ! -e "$staged/Vista" -a ! -e "$staged/Win7-AMD64"
check "what it did not stage is moved aside, whole" all \
    "test ! -e '$staged/Win7/planted.inf' -a ! -e '$staged/Win7/planted.sys' -a ! -e '$staged/version.dll'" \
    "cmp -s '$MEDIUM/Driver/Win7/qvmdm.inf' '$staged.aside-1/Win7/planted.inf'" \
    "grep -qx 'planted notes.txt' '$staged.aside-1/notes.txt'"
check "and says so" log_new_has \
    "INF: $TEMP_WIN\\Driver\\version.dll was not staged by this package; moved aside to $TEMP_WIN\\Driver.aside-1\\version.dll"
check "it starts the staged copy with the drive, a colon, a blank and 4" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 4"
check "and ends" log_new_has 'Exit Programm Instoria'

# The staged copy, started by the first: the window road.
check "the staged copy shows its window" wintool wait "$WINDOW_TITLE"
check "it runs from the temp folder" log_new_has "current run dir: $TEMP_WIN\\Driver\\"
check "with run mode 4" log_new_has 'dlg.m_nDoType = 4'
check "it stages nothing" log_new_count 'Run InitalDriverSetup' 1
check "the device in its storage mode needs no version check" log_new_lacks '>> Begin to Check version'
check "it takes the mutex" log_new_has 'INF: Create Mutex:Instoria.exe success'
check "its window starts the install worker" log_new_has 'InstallDriverThreadProc begin'

# Further installers while the window is open.
log_mark
run "$staged/Instoria.exe" E: 7x five six
check "five words: three are kept" log_new_count 'param_print: param[' 3
check "the third word's number is the mode" log_new_has 'dlg.m_nDoType = 7'
check "a second installer ends at the mutex" log_new_has 'INF: Mutex:Instoria.exe is exist, close dialog'
check "with status 5" result_is 5 window

log_mark
run "$staged/Instoria.exe" E: "$(printf '4%.0s' {1..300})"
check "a mode word too long to read makes the command line unusable" \
    log_new_has 'ERR: The command line cannot be used; the installer ends'
check "status 2, before the window" result_is 2 'command line'
check "which was not tried" log_new_lacks 'Mutex:Instoria.exe'

log_mark
run "$staged/Instoria.exe" E: ''
check "an empty mode is 0" log_new_has 'dlg.m_nDoType = 0'
log_mark
run "$staged/Instoria.exe" E: x4
check "a mode that is not a number is 0" log_new_has 'dlg.m_nDoType = 0'
check "and that installer too ends at the mutex" log_new_has 'INF: Mutex:Instoria.exe is exist, close dialog'

log_mark
run "$staged/Instoria.exe" /UNINSTALL
check "/UNINSTALL in capitals is no install type" log_new_has 'argv[1] is : /UNINSTALL.'
check "it takes the window road (and ends at the mutex)" log_new_has 'INF: Mutex:Instoria.exe is exist, close dialog'
check "no removal runs" log_new_lacks 'PENDING: UninstallDrivers'

# Below the temp folder at any depth, in any letter case: no staging.
mkdir -p "$TEMP_DIR/nested/Driver"
cp -r "$staged/." "$TEMP_DIR/nested/Driver/"
upper=$(tr '[:lower:]' '[:upper:]' <<<"$TEMP_WIN\\NESTED\\DRIVER\\INSTORIA.EXE")
log_mark
WINE_PROGRAM_AS=$upper run "$TEMP_DIR/nested/Driver/Instoria.exe" E: 4
# Its log lines carry the name it was started by.
LOG_NAME=INSTORIA check "an installer started by an upper-case path below the temp folder" \
    log_new_has "current run dir: ${upper%INSTORIA.EXE}"
LOG_NAME=INSTORIA check "stages nothing" log_new_lacks 'Run InitalDriverSetup'
LOG_NAME=INSTORIA check "and goes on to the window road" log_new_has 'INF: Mutex:Instoria.exe is exist, close dialog'

log_mark
run "$staged/Instoria.exe" /uninstall
check "/uninstall is the removal road" log_new_has 'Install type : /uninstall.'
check "which runs while the window is open: no mutex" log_new_has 'Remove driver, OK.'
check "it looks for no CD-ROM" log_new_lacks 'check_rdrom_state'
check "and ends" log_new_has 'Exit Programm Instoria'

LOG_MARK=0 # the whole log
for ((i = 0; i < 600; i++)); do
    log_new_starts '===> RunClientSetup: ' >/dev/null && break
    sleep 0.1
done
check "the staged copy's worker waits for the switch tool" log_new_starts '===> RunClientSetup: '
check "having placed none of the planted files" all "log_new_lacks 'File: $TEMP_WIN\\Driver\\Win7\\planted'" \
    "test ! -e '$DRIVE_C/windows/inf/planted.inf' -a ! -e '$DRIVE_C/windows/system32/drivers/planted.sys'"

# The installer started by hand from the medium while the staged one is at work: its program folder, the
# staging folder, is left as it is.
listing() { find "$staged" "$staged".aside-* -printf '%P %s %T@\n' | sort; }
file_appears "$staged/portflip.journal" # the switch tool's own line, written as it starts
before=$(listing)
log_mark
run "$MEDIUM/Driver/Instoria.exe"
check "a second installer from the medium sees the staged one at work" \
    log_new_has 'ERR: The installer Instoria.exe is at work; its staging folder Driver is left as it is'
check "and stages nothing" all "log_new_has 'InitalDriverSetup Failed'" "log_new_lacks 'shell exe'"
check "the staging folder is untouched" [ "$before" = "$(listing)" ]
log_mark
check "the window closes when asked" wintool close "$WINDOW_TITLE" gone Instoria.exe
closed=$(gone_after)
check "at once, even while the worker waits for the switch tool (${closed} ms)" [ "${closed:-99999}" -lt 3000 ]
check "its worker stops" log_new_has 'INF: The worker has stopped'
check "and the installer ends after its window" log_new_has 'BOOL CInstoriaApp::InitInstance() end'

scenario_end
