#!/usr/bin/env bash
# The launcher's buttons on Windows XP. The SD and MTP buttons, with the medium's root as a lower-case
# current folder, run the package folder's portflip.exe by that path with the drive upper-cased in its
# parameter; without the tool the window comes back. With the device switched (its driver in use) and its
# driver older than the package's, the Palvio application button offers the update: No starts the
# application, Yes first runs the installer on the medium with mode 6 and waits for it. The lite switch
# "yes" asks for the CD instead of installing the application; "Yes" is not "yes". The dial-up button takes
# the same road through the library's dial-up entry points. WM_USER+1 with 0 and 1 disables and enables the
# SD button. A user without administrator rights gets the administrator prompt instead of an installed
# application, and neither an update nor the installer.
# Usage: launcher_buttons_do_their_work.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
use_doubles
add_storage_device
CFG="$MEDIUM/autoruncfg.cfg"
PORTFLIP_JOURNAL="$MEDIUM/Driver/portflip.journal"

# launch_lower: the launcher started from the medium with "e:\" as its current folder.
launch_lower() {
    wine_exec "$PREFIX" "$DRIVE_C/windows/system32/cmd.exe" /c 'cd /d e:\ && e:\Palvio.exe' &
    LAUNCHER_PID=$!
}

for button in 1001:-close 1002:-mtp; do
    id=${button%%:*} action=${button#*:}
    log_mark
    launch_lower
    check "the window shows ($action)" window_shows
    check "the button runs the tool and the window closes" wintool click "$LAUNCHER_TITLE" "$id" gone Palvio.exe
    launch_finish
    check "the tool ran with the upper-cased drive" file_has_line "$PORTFLIP_JOURNAL" "portflip $action -cdrom:E:"
    check "by its path in the folder's own case" log_new_starts '===> RunClientSetup: e:\Driver\portflip.exe'
    check "the run ended as a closed window does" log_new_has 'dialog close'
    rm -f "$PORTFLIP_JOURNAL"
done
check "only the SD button logs its begin" log_new_lacks 'CPalvioDlg::OnButChangeUsb() begin'

# sd_button_after WPARAM STATE: WM_USER+1 with that wParam sent to the window (as another program tells the
# launcher whether the SD mode can be asked for), then the SD button is STATE (enabled or disabled).
sd_button_after() {
    wintool send "$LAUNCHER_TITLE" 0x401 "$1" place "$LAUNCHER_TITLE" 1001 >/dev/null
    [ "${TOOL_OUTPUT##* }" = "$2" ] || { echo "  wintool printed: $TOOL_OUTPUT"; false; }
}

rm -f "$MEDIUM/Driver/portflip.exe"
log_mark
launch_start
check "the window shows" window_shows
check "WM_USER+1 with 0 disables the SD button" sd_button_after 0 disabled
check "and leaves the window open" wintool wait "$LAUNCHER_TITLE"
check "with 1 it enables the button again" sd_button_after 1 enabled
check "the SD button without its tool" wintool click "$LAUNCHER_TITLE" 1001
check "says so" log_wait 'Err: file(E:\Driver\portflip.exe) isn'"'"'t exist!' 10
check "and the window comes back" wintool wait "$LAUNCHER_TITLE"
check "the SD button logged its begin" log_new_has 'CPalvioDlg::OnButChangeUsb() begin'
check "the window closes when asked" window_closes

# The device has left its storage identity: its driver is in use, and Wine reads its version as 0, older
# than the profile's.
sim device-remove --hwid "$DEVICE_HWID" >/dev/null
add_multiport_device
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=1 UpdatePalvio=1 RunPalvio=1
log_mark
launch_start
check "the window shows" window_shows
check "the Palvio application button" wintool click "$LAUNCHER_TITLE" 1000
check "asks whether to update the driver; No" wintool no 'Palvio driver update' gone Palvio.exe
launch_finish
check "the question's text" tool_printed 'text New drivers are available for your Palvio device. Install them now?'
check "no installer ran" log_new_lacks 'INF: Run client'
check "the application was started and the window closed" \
    log_new_in_order 'Run CheckDriverSetup' 'Run m_FunRunPalvio' 'dialog close'
check "by the library" journal_in_order 'UpdatePalvio -> 1' 'CheckPalvioPrgInstall -> 1' 'RunPalvio -> 1' 'freed'

# The dial-up button, through the library's dial-up entry points: an application that cannot be installed
# brings the window back; an installed one is updated, the driver update is offered (No) and it is started.
plugin_answers DialIsEnable=1 CheckDialPrgInstall=0 InstallDialPrg=0
log_mark
launch_start
check "the window shows" window_shows
check "the dial-up button" wintool click "$LAUNCHER_TITLE" 1003
check "tries to install the dial-up application" line_comes "$JOURNAL" 'InstallDialPrg -> 0'
check "which fails: the window comes back" wintool wait "$LAUNCHER_TITLE"
check "and nothing is started" journal_lacks 'RunDial'
check "the window closes when asked" window_closes

plugin_answers DialIsEnable=1 CheckDialPrgInstall=1 UpdateDial=1 RunDial=1
log_mark
launch_start
check "the window shows" window_shows
check "the dial-up button" wintool click "$LAUNCHER_TITLE" 1003
check "asks whether to update the driver; No" wintool no 'Palvio driver update' gone Palvio.exe
launch_finish
check "the dial-up application was updated and started by the library" journal_in_order 'DialIsEnable -> 1' \
    'CheckDialPrgInstall -> 1' 'UpdateDial -> 1' 'CheckDialPrgInstall -> 1' 'RunDial -> 1' 'freed'
check "without the Palvio application's steps" journal_lacks 'CheckPalvioPrgInstall'
check "no installer ran" log_new_lacks 'INF: Run client'
check "and the window closed" log_new_has 'dialog close'

plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=1 UpdatePalvio=1 RunPalvio=1
log_mark
launch_start
check "the window shows" window_shows
check "the Palvio application button" wintool click "$LAUNCHER_TITLE" 1000
check "asks again; Yes" wintool yes 'Palvio driver update'
check "the installer on the medium runs with mode 6" log_wait 'INF: Run client E:\Driver\Instoria.exe E: 6 setup, SUC...' 120
LOG_NAME=Instoria check "with those words" log_new_has 'param_print: param[2] = 6'
check "the launcher waited for it, then started the application" \
    log_new_in_order 'INF: Run client E:\Driver\Instoria.exe E: 6 setup, SUC...' 'Run m_FunRunPalvio'
check "and ends" wintool gone Palvio.exe
launch_finish
check "as a closed window does" log_new_has 'dialog close'
# What the installer started meanwhile is its own road; it is ended here.
wintool close "$WINDOW_TITLE" gone Instoria.exe >/dev/null 2>&1

# The lite switch "yes": the missing application is not installed; the CD prompt, and the window comes back.
sim device-remove --hwid "$DEVICE_HWID" >/dev/null
add_storage_device
set_profile "$CFG" Section_Autorun use_palvio_lite yes
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=0
log_mark
launch_start
check "the window shows" window_shows
check "the Palvio application button" wintool click "$LAUNCHER_TITLE" 1000
check "shows the CD prompt" wintool answer Palvio
check "in the default language, the system's having no section" \
    tool_printed 'text Please install the Palvio applications from the CD.'
check "and the window again" wintool wait "$LAUNCHER_TITLE"
check "without asking for the administrator" log_new_lacks 'Run CheckAdmin'
check "nothing was installed" journal_lacks 'InstallPalvio'
check "the window closes when asked" window_closes

# "Yes" is not "yes": the application is installed through the library.
set_profile "$CFG" Section_Autorun use_palvio_lite Yes
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=0,1 InstallPalvio=1 UpdatePalvio=1
log_mark
launch_start
check "the window shows" window_shows
check "the Palvio application button installs and hands over" wintool click "$LAUNCHER_TITLE" 1000 gone Palvio.exe
launch_finish
check "the application was installed" journal_in_order 'CheckPalvioPrgInstall -> 0' 'InstallPalvio -> 1'
check "after the administrator check" log_new_in_order 'Run CheckAdmin' 'Run m_FunInstallPalvio'
check "and the device handed to the staged installer with mode 1" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 1"
installer_window_closes >/dev/null 2>&1

# no_message_box CAPTION: no message box of that caption shows within 2 s.
no_message_box() { ! WINTOOL_SECONDS=2 wintool answer "$1" >/dev/null 2>&1; }

# A user without administrator rights: a missing application is not installed (the administrator prompt,
# the window comes back); an installed one is not updated, and the device is not handed over: the window
# comes back without a prompt.
set_profile "$CFG" Section_Autorun use_palvio_lite no
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=0,1 InstallPalvio=1 UpdatePalvio=1
log_mark
launch_start --standard-user
check "a user without administrator rights gets the window" window_shows
check "the Palvio application button" wintool click "$LAUNCHER_TITLE" 1000
check "asks for an administrator" wintool answer Palvio
check "with the texts' prompt" \
    tool_printed 'text Installing needs administrator rights. Please log on as an administrator and try again.'
check "and the window comes back" wintool wait "$LAUNCHER_TITLE"
check "after the administrator check" log_new_in_order 'Run m_FunCheckPalvioPrgInstall' 'Run CheckAdmin'
check "nothing was installed" journal_lacks 'InstallPalvio'
check "the button again, the application now installed" wintool click "$LAUNCHER_TITLE" 1000
check "the device is not handed over" log_wait 'not administrator' 30
check "and the window comes back" wintool wait "$LAUNCHER_TITLE"
check "without a prompt" no_message_box Palvio
check "the update was skipped" journal_lacks 'UpdatePalvio'
check "no installer was started" log_new_lacks 'INF: shell exe'
check "the window closes when asked" window_closes

scenario_end
