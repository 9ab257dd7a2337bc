#!/usr/bin/env bash
# The shipped installer on Windows XP, started by hand from the device's CD-ROM: it stages its package folder
# into a folder of its own below the Windows folder's temp, and starts the staged copy there with the drive
# and run mode 4, which takes the window road (the device shows its storage identity: the install worker's
# road). The user's temp folder is not touched. While that window is open, further installers end at the
# mutex, whatever their command line; "/uninstall" needs no mutex. An installer started from a folder that
# others can change reads nothing there: a library, a driver or a profile planted beside it comes to nothing.
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
# What another program put in the user's staging folder (a driver to place, a library to load), and a file
# of the user's: the installer started from the medium leaves the folder as it is.
mkdir -p "$staged/Win7"
cp "$MEDIUM/Driver/Win7/qvmdm.inf" "$staged/Win7/planted.inf"
for file in Win7/planted.sys planted.dll notes.txt; do echo "planted $file" >"$staged/$file"; done

log_mark
run "$MEDIUM/Driver/Instoria.exe"
check "started from the medium, the installer runs from E:" log_new_has 'current run dir: E:\Driver\'
check "with no arguments but its own path" log_new_has 'param_print: param[0] = E:\Driver\Instoria.exe'
check "it finds the device's CD-ROM" log_new_has 'CDROM disk volume : E:'
check "and stages its folder" log_new_has 'Run InitalDriverSetup'
check "into a folder of its own below the Windows folder's temp" \
    log_new_has 'INF: The installer works from C:\windows\temp\Instoria-1, a folder that only administrators can change'
own_copy 1
check "with XP's edition folder, Win7" \
    log_new_has 'make sure the temp driver folder then create it :\Win7 --AutoRun_GetTmpSysDrvDirName()--'
check "the package's files are there" \
    all_exist "$OWN/Instoria.exe" "$OWN/Instoria64.exe" "$OWN/drvcfg.ini" "$OWN/DrvLang.ini" \
    "$OWN/Win7/qvmdm.inf" "$OWN/Win7/qvusbser.sys" "$OWN/Res/DrvInstall.bmp" "$OWN/Res/vender.ico"
check "with the launcher's plug-in library beside the tools" all_exist "$OWN/PalvioPlugin.dll" "$OWN/autoruncfg.cfg"
check "other editions' folders are not" test ! -e "$OWN/Vista" -a ! -e "$OWN/Win7-AMD64"
check "the copy goes when Windows restarts" \
    log_new_has 'INF: The installer'"'"'s own copy in C:\windows\temp\Instoria-1\ goes when Windows restarts'
check "it starts the staged copy with the drive, a colon, a blank and 4" \
    log_new_has "INF: shell exe C:\\windows\\temp\\Instoria-1\\Driver\\Instoria.exe with parameter E: 4"
check "and ends" log_new_has 'Exit Programm Instoria'

# The staged copy, started by the first: the window road.
check "the staged copy shows its window" wintool wait "$WINDOW_TITLE"
check "it runs from its own folder" log_new_has 'current run dir: C:\windows\temp\Instoria-1\Driver\'
check "with run mode 4" log_new_has 'dlg.m_nDoType = 4'
# Wine keeps no access lists: there the copy cannot see that its folder keeps others out, takes it for one
# that others can change, and makes a copy of its own from the medium once more. Windows keeps the list,
# and the copy works from the folder it was started in.
check "the copy takes nothing from a folder it cannot trust" log_new_has \
    'INF: The installer runs from C:\windows\temp\Instoria-1\Driver\, a folder that other programs can change; it takes its package from E:\Driver\'
own_copy
check "the device in its storage mode needs no version check" log_new_lacks '>> Begin to Check version'
check "it takes the mutex" log_new_has 'INF: Create Mutex:Instoria.exe success'
check "its window starts the install worker" log_new_has 'InstallDriverThreadProc begin'

# Further installers while the window is open.
# An installer started from the user's staging folder, where the launcher stages and any program of the user
# may plant things: it takes its package from the medium, into a folder of its own, and goes on from there.
cp -r "$MEDIUM/Driver/." "$staged/"
set_profile "$staged/drvcfg.ini" Section_Driver Key_DriverInstallName evil.exe
user_files=$(find "$staged" -printf '%P %s %T@\n' | sort)
log_mark
run "$staged/Instoria.exe" E: 7x five six
check "an installer from the user's folder reads its package from the medium" log_new_has \
    "INF: The installer runs from $TEMP_WIN\\Driver\\, a folder that other programs can change; it takes its package from E:\\Driver\\"
check "not the profile planted beside it" log_new_has 'INF: Mutex:Instoria.exe is exist, close dialog'
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
run "$MEDIUM/Driver/Instoria.exe" /UNINSTALL
check "/UNINSTALL in capitals is no install type" log_new_has 'argv[1] is : /UNINSTALL.'
check "it takes the window road, and finds the installer at work" \
    log_new_has 'ERR: The installer Instoria.exe is at work; its staging folder Driver is left as it is'
check "no removal runs" log_new_lacks 'PENDING: UninstallDrivers'

# Without the medium's drive for a first word, an installer in a folder others can change has no package.
log_mark
run "$staged/Instoria.exe" /uninstall
check "/uninstall from the user's folder is refused" log_new_has \
    "ERR: The installer runs from $TEMP_WIN\\Driver\\, a folder that other programs can change, and its command line names no CD-ROM drive to take its package from; it ends"
check "with status 2" result_is 2 'texts and profile'
log_mark
run "$staged/Instoria.exe" C: 4
check "so is a drive that is no CD-ROM" log_new_has \
    "ERR: The installer runs from $TEMP_WIN\\Driver\\, a folder that other programs can change, and C: is no CD-ROM drive to take its package from; it ends"
check "with status 4" result_is 4 'texts and profile'

log_mark
run "$MEDIUM/Driver/Instoria.exe" /uninstall
check "/uninstall is the removal road" log_new_has 'Install type : /uninstall.'
check "which runs while the window is open: no mutex" log_new_has 'Remove driver, OK.'
check "it looks for no CD-ROM" log_new_lacks 'check_rdrom_state'
check "and ends" log_new_has 'Exit Programm Instoria'
check "the user's staging folder is as it was" [ "$user_files" = "$(find "$staged" -printf '%P %s %T@\n' | sort)" ]

LOG_MARK=0 # the whole log
for ((i = 0; i < 600; i++)); do
    log_new_starts '===> RunClientSetup: ' >/dev/null && break
    sleep 0.1
done
check "the staged copy's worker waits for the switch tool" log_new_starts '===> RunClientSetup: '
check "having placed none of the planted files" all "log_new_lacks 'planted'" \
    "test ! -e '$DRIVE_C/windows/inf/planted.inf' -a ! -e '$DRIVE_C/windows/system32/drivers/planted.sys'"

# The installer started by hand from the medium while the staged one is at work: that one's copy is left as
# it is.
listing() { find "$DRIVE_C/windows/temp" -path '*/Instoria-*' -printf '%P %s %T@\n' | sort; }
file_appears "$OWN/portflip.journal" # the switch tool's own line, written as it starts
before=$(listing)
log_mark
run "$MEDIUM/Driver/Instoria.exe"
check "a second installer from the medium sees the staged one at work" \
    log_new_has 'ERR: The installer Instoria.exe is at work; its staging folder Driver is left as it is'
check "and stages nothing" all "log_new_has 'InitalDriverSetup Failed'" "log_new_lacks 'shell exe'"
check "no copy of the installer's is touched" [ "$before" = "$(listing)" ]
log_mark
check "the window closes when asked" wintool close "$WINDOW_TITLE" gone Instoria.exe
closed=$(gone_after)
check "at once, even while the worker waits for the switch tool (${closed} ms)" [ "${closed:-99999}" -lt 3000 ]
check "its worker stops" log_new_has 'INF: The worker has stopped'
check "and the installer ends after its window" log_new_has 'BOOL CInstoriaApp::InitInstance() end'

scenario_end
