#!/usr/bin/env bash
# The shipped launcher on Windows XP with the device in its storage identity. A card-reader identity ends it
# before anything else. With the device's driver files in Windows and an administrator, it stages the package
# and starts the staged installer with mode 5 (switch the ports only); while that installer runs, a launcher
# ends at once. With an application running and no driver files, it starts the staged installer with mode 4,
# and does not take a failed start for a hand-over. A staging that fails starts nothing; a package folder name
# that is not one plain name stages nothing and touches no file. A user without administrator rights gets the
# window instead, and no installer.
# Usage: launcher_hands_the_device_to_the_installer.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
# A switch tool that takes its time and a device that does not answer it: the installers this launcher starts
# stay at their switch step (after the driver files) until the scenario closes their windows, however slow
# the machine, and leave the device's nodes alone.
cp "$TEST_TREE32/tests/doubles/portflip/portflip.exe" "$MEDIUM/Driver/"
printf '%s\r\n' '[Answer]' 'EndsAfter=600000' '[Play]' 'Modes=-none' >"$MEDIUM/Driver/portflip.ini"
add_storage_device
oem_inf 3 "$BOTH_INF"
driver_file
staged="$TEMP_DIR/Driver"

# The card reader's identity beside the storage identity: the card-reader check comes first.
add_card_reader
log_mark
launch
check "a card-reader identity ends the launcher" log_new_has 'INF: Phone is in readcard state'
check "before the storage identity is looked for" log_new_lacks 'Begin detect device hwid(usb\vid_2f5e&pid_7a01),'
check "or the driver files" log_new_lacks 'inf('
check "or the applications" journal_lacks 'PalvioIsEnable'
sim device-remove --instance 'USB\VID_2F5E&PID_7A03\PALVIO0002'

log_mark
launch
check "one INF names both interfaces and the driver file" \
    log_new_has 'inf(C:\windows\Inf\oem3.inf) with hardwardId(usb\vid_2f5e&pid_7a01&mi_00) and sys file(qvusbser.sys) exist'
check "for the serial interface too" \
    log_new_has 'inf(C:\windows\Inf\oem3.inf) with hardwardId(usb\vid_2f5e&pid_7a01&mi_01) and sys file(qvusbser.sys) exist'
check "with its twin" log_new_count 'pnf C:\windows\Inf\oem3.Pnf exist' 2
check "and the driver file is there" log_new_has 'Inf: sys file(C:\windows\system32\drivers\qvusbser.sys) exist'
check "the administrator gets the ports switched" \
    log_new_has 'switch ports because of driver file is installed in system'
check "without asking the applications" journal_lacks 'PalvioIsEnable'
check "the package is staged with the launcher's configuration and library" \
    all_exist "$staged/Instoria.exe" "$staged/drvcfg.ini" "$staged/Win7/qvusbser.sys" "$staged/autoruncfg.cfg" \
    "$staged/PalvioPlugin.dll" "$staged/PalvioPlugin.ini"
check "and the staged installer started with the drive and 5" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 5"
check "it shows its window" wintool wait "$WINDOW_TITLE"
LOG_NAME=Instoria check "in mode 5" log_new_has 'dlg.m_nDoType = 5'

# While that installer runs, the launcher has nothing to do.
log_mark
launch
check "a launcher sees the installer run" log_new_has 'Program(Instoria.exe) is running'
check "and ends" log_new_has 'Now is installing driver, program exit'
check "before looking for the device" log_new_lacks 'Begin detect device'
check "the installer's window closes when asked" installer_window_closes
# On a loaded machine that installer's worker may have removed the device's storage node before its window
# was closed; the device is put back in its storage identity for what follows.
sim device-remove --hwid "$DEVICE_HWID" >/dev/null 2>&1
add_storage_device >/dev/null

# No driver file: the drivers are not in Windows. The Palvio application runs: the installer that the earlier
# staging left in the temp folder is started with mode 4, nothing is staged.
rm -f "$DRIVE_C/windows/system32/drivers/qvusbser.sys"
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
log_mark
launch
check "without the driver file the drivers are not in Windows" \
    log_new_has 'Err:sys file(C:\windows\system32\drivers\qvusbser.sys) isn'"'"'t exist'
check "the running application is seen" log_new_has 'Palvio or Dialup is running , but driver isn`t install.'
check "the installer is called" log_new_has 'call_instoria()'
check "the staged installer is started with mode 4" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 4"
check "nothing is staged on this road" log_new_lacks 'CopyClientSetup()'
check "the installer shows its window" wintool wait "$WINDOW_TITLE"
LOG_NAME=Instoria check "in mode 4" log_new_has 'dlg.m_nDoType = 4'
check "which closes when asked" installer_window_closes

# Without the staged copy nothing can be started: the launcher says so and ends.
rm -rf "$staged"
log_mark
launch
check "a start of a missing installer is a failure" \
    log_new_has "ERR: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 4 failed, code 2"
check "no installer runs" log_new_lacks 'INF: shell exe'
check "and no window shows" log_new_lacks 'dialog begin...'

# Driver files in Windows again (the installer of mode 4 has begun to replace them before its window was
# closed), this time from an INF that spells the IDs and the driver file through [Strings] tokens, as WinUSB
# tooling writes them; but the package cannot be staged (a file stands where its folder goes).
oem_inf 3 $'[Models.NTx86]\r\n%Modem%=Install,USB\\%ModemId%\r\n%Serial%=Install,USB\\%SerialId%\r\n'\
$'[Service]\r\nServiceBinary=%12%\\%DRIVERFILENAME%.sys\r\n[Strings]\r\nModemId="VID_2F5E&PID_7A01&MI_00"\r\n'\
$'SerialId="VID_2F5E&PID_7A01&MI_01"\r\nDRIVERFILENAME=qvusbser'
driver_file
plugin_answers
touch "$staged"
log_mark
launch
check "the INF's values name both interfaces and the driver file" log_new_in_order \
    'inf(C:\windows\Inf\oem3.inf) with hardwardId(usb\vid_2f5e&pid_7a01&mi_00) and sys file(qvusbser.sys) exist' \
    'inf(C:\windows\Inf\oem3.inf) with hardwardId(usb\vid_2f5e&pid_7a01&mi_01) and sys file(qvusbser.sys) exist'
check "the ports are to be switched" log_new_has 'switch ports because of driver file is installed in system'
check "but the staging fails" log_new_has "ERR: $TEMP_WIN\\Driver is a file, not a folder"
check "so no installer is started" log_new_lacks 'shell exe'
rm -f "$staged"

# A package folder name that is not one plain folder name ("." is the temp folder itself, ".." the user's
# profile above it): refused, and nothing staged, moved or deleted. A profile beside the launcher keeps the
# launcher going as far as the staging.
profile=$(dirname "$TEMP_DIR")
mkdir -p "$TEMP_DIR/mine" "$profile/Documents"
mine=("$TEMP_DIR/mine.txt" "$TEMP_DIR/mine/mine.txt" "$profile/Documents/mine.txt")
for file in "${mine[@]}"; do echo mine >"$file"; done
cp "$MEDIUM/autoruncfg.cfg" "$PREFIX/autoruncfg.cfg"
cp "$MEDIUM/Driver/drvcfg.ini" "$MEDIUM/drvcfg.ini"
for name in . .. '..\x' a:b nul; do
    set_profile "$MEDIUM/autoruncfg.cfg" Section_Autorun Key_DriverPath "$name"
    log_mark
    launch
    check "Key_DriverPath=$name is refused" log_new_has \
        "ERR: The package folder name '$name' is not one plain folder name; it is refused and nothing is staged"
    check "the launcher goes on to switch the ports" \
        log_new_has 'switch ports because of driver file is installed in system'
    check "but stages nothing and starts no installer" all "log_new_lacks CopyClientSetup" "log_new_lacks 'shell exe'"
    check "the user's files in the temp folder and in the profile stay" all_exist "${mine[@]}"
done
cp "$PREFIX/autoruncfg.cfg" "$MEDIUM/autoruncfg.cfg"
rm "$MEDIUM/drvcfg.ini"

# A user without administrator rights (the Administrators group for denial only), driver files in Windows, no
# application running: the window, and no installer.
log_mark
launch_start --standard-user
check "a user without administrator rights gets the window" window_shows
check "the administrator check said no" log_new_has 'First Check: The current acount is Non-Administrator'
check "the driver files were found" log_new_has 'Inf: sys file(C:\windows\system32\drivers\qvusbser.sys) exist'
check "and so said the launcher" log_new_has 'No driver but driver files exist ,non-administrator'
check "it went on to the applications" log_new_has 'run m_FunCheckPalvioIsRunning and m_FunCheckDialIsRunning'
check "nothing was staged" log_new_lacks 'switch ports'
check "the window closes when asked" window_closes

# The same user with the Palvio application running: the installer is not started for them.
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
log_mark
launch --standard-user
check "the running application asks for the installer" log_new_has 'call_instoria()'
check "which a user without administrator rights does not get" log_new_has 'not administrator'
check "nothing is started" log_new_lacks 'INF: shell exe'
check "and no window shows" log_new_lacks 'dialog begin...'

scenario_end
