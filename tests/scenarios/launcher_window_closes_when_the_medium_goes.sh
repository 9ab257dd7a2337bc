#!/usr/bin/env bash
# The launcher window on Windows XP when the medium's drive letter goes away: the window closes about 1.5 s
# later, the plug-in library is let go and the run ends (the library's journal lies on the medium, which is
# gone: the log tells). While a button's handler waits in a message box,
# the close waits for the handler: the library stays bound until the box is answered, then the window
# closes at once. The same holds while the library's own call dispatches messages.
# Usage: launcher_window_closes_when_the_medium_goes.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
add_storage_device

log_mark
launch_start
check "the window shows" window_shows
log_stamp_start
removing=$(date +%s%3N)
check "the medium goes" sim drive-remove E:
check "the window closes" wintool gone Palvio.exe
launch_finish
log_stamp_stop
# From before the letter went (the removal's own program takes a while to end) to the window's close.
closed_after=$(($(stamp_line Palvio 'INF: The product library is freed') - removing))
check "about 1.5 s after the letter went, four looks without it (${closed_after} ms)" \
    [ "$closed_after" -ge 1500 -a "$closed_after" -le 6000 ]
check "the library was let go with the window, and the run ended as a closed window's does" \
    log_new_in_order 'CPalvioDlg::OnInitDialog() end' 'INF: The product library is freed' 'dialog close' \
    'program success exit'
echo "measured: the window closed ${closed_after} ms after the drive letter went"

# The Palvio application is missing and the lite switch asks the user to install from the CD: the handler
# waits in that box while the medium goes.
device_cdrom E: || exit 1
set_profile "$MEDIUM/autoruncfg.cfg" Section_Autorun use_palvio_lite yes
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=0
log_mark
launch_start
check "the window shows" window_shows
check "the Palvio application button is clicked" wintool click "$LAUNCHER_TITLE" 1000
check "the handler waits in the CD prompt" wintool wait Palvio
sim drive-remove E:
sleep 4
check "the medium is gone for longer than the watch waits, and the launcher still runs" \
    [ "$(log_new | grep -c 'Palvio: dialog close')" = 0 ]
check "the library is still bound" log_new_lacks 'INF: The product library is freed'
check "the prompt is answered" wintool answer Palvio gone Palvio.exe
launch_finish
check "then the window closed at once" \
    log_new_in_order 'void CPalvioDlg::OnButSorvane()  begin' 'Run m_FunCheckPalvioPrgInstall' \
    'INF: The medium has gone while a button was at work; the window closes now' \
    'INF: The product library is freed' 'dialog close' 'program success exit'
check "nothing was installed" journal_lacks 'InstallPalvio'

# The library's install dispatches the thread's messages (as one with a window of its own does) while the
# medium goes: the close that the window is sent meanwhile waits for the handler too.
device_cdrom E: || exit 1
set_profile "$MEDIUM/autoruncfg.cfg" Section_Autorun use_palvio_lite no
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=0 InstallPalvio=0 Pump=InstallPalvio,6000
log_mark
launch_start
check "the window shows" window_shows
check "the Palvio application button is clicked" wintool click "$LAUNCHER_TITLE" 1000
check "the library's install dispatches messages" line_comes "$JOURNAL" 'InstallPalvio pumps messages for 6000 ms'
sim drive-remove E:
check "the launcher ends" wintool gone Palvio.exe
launch_finish
check "once the install had returned and the handler with it" \
    log_new_in_order 'Run m_FunInstallPalvio' \
    'INF: The medium has gone while a button was at work; the window closes now' \
    'INF: The product library is freed' 'dialog close' 'program success exit'

scenario_end
