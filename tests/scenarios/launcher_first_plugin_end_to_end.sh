#!/usr/bin/env bash
# The road of the device's first plug-in, end to end, with the shipped programs (their fast-clock twins) on
# a simulated PC: the device attaches as CD-ROM E:, the launcher starts from the medium and shows its window,
# the Palvio application button is clicked: the package is staged, the application installed through the
# plug-in double, the staged installer started with mode 1 and the window closes. The installer places the
# drivers, has the device switch (the portflip double plays it: the CD-ROM goes and comes back as E:),
# writes the status mark and starts Bootrel with 1; the launcher that the returning CD-ROM starts consumes
# the mark and ends. The order of the events is read from the log's and the journals' lines.
# Screenshots of both windows go to SUITE_SCREENSHOTS. 'make demo' plays it at the programs' own speed
# (FAST_CLOCK set empty).
# On 64-bit Windows the 64-bit installer does the work, and at the next plug-in the launcher finds the
# drivers it placed through its look into the native driver folder. Windows 10 is served through the
# medium's [Newer_Windows] section (the sample's names the Windows 7 folders).
# With "-over-windows" after the edition the medium is the usual one over Windows' own usbser.sys and
# winusb.sys (medium_over_windows, no driver file in its edition folders): the install ends all the same,
# Windows' drivers stay as they were, and the next plug-in's launcher finds the drivers installed.
# Usage: launcher_first_plugin_end_to_end.sh SHIP_TREE_I686 SHIP_TREE_X86_64 xp|win7-64|win10-64[-over-windows]
FAST_CLOCK=${FAST_CLOCK-1}
. "$(dirname "$0")/launcher.sh"
. "$(dirname "$0")/../harness/screen.sh"
EDITION=${3:-xp}
OVER_WINDOWS=
[[ "$EDITION" == *-over-windows ]] && OVER_WINDOWS=1 && EDITION=${EDITION%-over-windows}

case "$EDITION" in
xp) launcher_begin win32 5.1 ;;
win7-64) launcher_begin win64 6.1 7601.17514.amd64fre.win7sp1_rtm.101119-1850 ;;
win10-64) launcher_begin win64 6.3 19041.1.amd64fre.vb_release.191206-1406 --major 10 --build 19045 ;;
*)
    echo "FAIL: no edition '$EDITION' (xp, win7-64 or win10-64)"
    exit 2
    ;;
esac
if [ "$LAUNCHER_KIND" = win64 ]; then
    INSTALLER=Instoria64
    EDITION_FOLDER=Win7-AMD64
else
    INSTALLER=Instoria
    EDITION_FOLDER=Win7
fi
DRIVER=qvusbser.sys STAGED_FILE=qvusbser.sys
if [ -n "$OVER_WINDOWS" ]; then
    STAGED_FILE=qvmdm.inf
    if [ "$EDITION" = xp ]; then medium_over_windows xp; else medium_over_windows 10; fi
    DRIVER=usbser.sys
fi
# The installer watches the drive letter once it has removed the storage node, some 5 s after the switch at
# the programs' own speed (a quarter of a second on the fast clock): the device's letter goes after that.
if [ -n "$FAST_CLOCK" ]; then
    use_doubles LetterGoesAfter=300 LetterComesBackAfter=1500
else
    use_doubles LetterGoesAfter=8000 LetterComesBackAfter=3000
fi
add_storage_device
plugin_answers PalvioIsEnable=1 CheckPalvioPrgInstall=0,1 InstallPalvio=1 UpdatePalvio=1 RunPalvio=1
staged="$TEMP_DIR/Driver"
SHOTS=${SUITE_SCREENSHOTS:-$PREFIX/screenshots}/launcher_first_plugin_end_to_end-$EDITION${OVER_WINDOWS:+-over-windows}
mkdir -p "$SHOTS"

# Every line added to the log from now on, with the moment it appeared.
log_mark
log_stamp_start
road_start=$(date +%s%3N)
launch_start
check "the launcher's window shows" window_shows
check "as the user sees it" screen_capture "$LAUNCHER_TITLE" "$SHOTS/launcher.png"
check "the Palvio application button is clicked, the launcher ends" \
    wintool click "$LAUNCHER_TITLE" 1000 gone Palvio.exe
launch_finish
check "the staged installer's window comes" wintool wait "$WINDOW_TITLE"
LOG_NAME=$INSTALLER check "and pauses after placing the drivers" log_wait 'Process setup 41...' 120
check "the installer's window at work" screen_capture "$WINDOW_TITLE" "$SHOTS/installer.png"
check "the installer ends by itself after the switch" wintool gone "$INSTALLER.exe"
road_installer_end=$(date +%s%3N)
own_copy
check "Bootrel is started with the run mode" line_comes "$OWN/Bootrel.journal" 'Bootrel 1'

# The returning CD-ROM starts the launcher again (autorun, played here).
launch
road_end=$(date +%s%3N)
log_stamp_stop

check "the launcher found the device in its storage identity" \
    log_new_has 'Begin detect device hwid(usb\vid_2f5e&pid_7a01), comId(usb\class_08&subclass_06&prot_50)'
check "its window was set up" log_new_has 'CPalvioDlg::OnInitDialog() end'
check "the application was installed through the library, the installer handed the device with mode 1" \
    log_new_in_order 'void CPalvioDlg::OnButSorvane()  begin' 'Fun Palvio Is Enable' 'Run InitalDriverSetup' \
    'Run m_FunCheckPalvioPrgInstall' 'Run CheckAdmin' 'Run m_FunInstallPalvio' 'Run m_FunUpdatePalvio' \
    'Run CheckDriverSetup' 'Palvio or Dialup is running , but driver isn`t install.' 'call_instoria()' \
    "INF: shell exe $TEMP_WIN\\Driver\\$INSTALLER.exe with parameter E: 1" 'dialog close'
check "the package was staged" all_exist "$staged/$INSTALLER.exe" "$staged/drvcfg.ini" \
    "$staged/$EDITION_FOLDER/$STAGED_FILE" "$staged/PalvioPlugin.dll" "$staged/autoruncfg.cfg"
check "the library was called in order and let go with the window" journal_in_order 'PalvioIsEnable -> 1' \
    'CheckPalvioPrgInstall -> 0' 'InstallPalvio -> 1' 'CheckPalvioPrgInstall -> 1' 'UpdatePalvio -> 1' \
    'CheckPalvioPrgInstall -> 1' 'freed'
check "the application was not started: the device was handed over" journal_lacks 'RunPalvio'
LOG_NAME=$INSTALLER check "the staged installer ran with mode 1" log_new_in_order 'dlg.m_nDoType = 1' \
    '<<End to kill process' "Driver setup dir: $OWN_WIN\\$EDITION_FOLDER" \
    'switch_3_port(): device switch OK' 'Disk is removed OK' 'Disk is refind' \
    'Run startup program with para(1) success' 'BOOL CInstoriaApp::InitInstance() end'
if [ -n "$OVER_WINDOWS" ]; then
    # Windows 10 has two INFs that name usbser.sys; the folder's order tells which the line names.
    LOG_NAME=$INSTALLER check "an edition folder over Windows' own drivers needs no driver file" log_new_has \
        "INFO: The edition folder holds no driver file: the profile's driver files are Windows' own or come with the package's co-installer"
    LOG_NAME=$INSTALLER check "the removal left Windows' own usbser.sys" log_new_starts \
        "INFO: C:\\windows\\system32\\drivers\\usbser.sys is Windows' own file (Windows' INF "
    check "as Windows has it" grep -qx "Windows' own usbser.sys" "$DRIVE_C/windows/system32/drivers/usbser.sys"
else
    check "the drivers were placed in the native driver folder" \
        cmp -s "$OWN/$EDITION_FOLDER/qvusbser.sys" "$DRIVE_C/windows/system32/drivers/qvusbser.sys"
fi
if [ "$LAUNCHER_KIND" = win64 ] && [ -z "$OVER_WINDOWS" ]; then
    check "not in its 32-bit view" test ! -e "$DRIVE_C/windows/syswow64/drivers/qvusbser.sys"
fi
if [ "$EDITION" = win10-64 ]; then
    check "both programs named the Windows they found" all \
        "log_new_has 'current system is Windows 10, build 19045'" \
        "LOG_NAME=Instoria64 log_new_has 'current system is Windows 10, build 19045'"
fi
check "the device was asked to switch" file_has_line "$OWN/portflip.journal" 'portflip -switch -cdrom:E:'
# The returning launcher's last lines: it ended right after the mark, letting its library go.
last_lines() {
    local last
    last=$(log_new | grep -a '^Palvio: ' | tail -n 2 | tr '\n' '|')
    [ "$last" = "Palvio: $1|Palvio: $2|" ] || { echo "  the launcher's last lines: $last"; false; }
}
check "the returning launcher found the mark and ended there" \
    last_lines 'driver install status is 0' 'INF: The product library is freed'
check "the status file is reset for the next plug-in" file_has_line "$STATUS_FILE" 'status=1'
check "the returning launcher showed no window" [ "$(log_new | grep -c 'CPalvioDlg::OnInitDialog() begin')" = 1 ]

# The road's phases from the moments the lines appeared.
shown=$(stamp_line Palvio 'CPalvioDlg::OnInitDialog() end')
clicked=$(stamp_line Palvio 'void CPalvioDlg::OnButSorvane()  begin')
handed=$(stamp_line Palvio 'dialog close')
started=$(stamp_line "$INSTALLER" 'dlg.m_nDoType = 1')
switched=$(stamp_line "$INSTALLER" 'switch_3_port(): device switch OK')
back=$(stamp_line "$INSTALLER" 'Disk is refind')
echo "measured ($EDITION): launcher start to window $((shown - road_start)) ms; click to hand-over" \
    "$((handed - clicked)) ms; hand-over to installer start $((started - handed)) ms; installer start to" \
    "switch $((switched - started)) ms; switch to CD-ROM back $((back - switched)) ms; to installer end" \
    "$((road_installer_end - back)) ms; returning launcher $((road_end - road_installer_end)) ms; whole road" \
    "$((road_end - road_start)) ms${FAST_CLOCK:+ (fast clock, pauses 20 times shorter)}"

# The next plug-in on 64-bit Windows: the device attaches as CD-ROM again; the launcher finds the drivers in
# Windows, the driver file through its look into the native folder (the 32-bit launcher's own view is
# SysWOW64), and has the staged 64-bit installer switch the ports. Windows names the registered copies of the
# INF files oemN.inf, Wine keeps their names: they are given Windows' names here.
if [ "$LAUNCHER_KIND" = win64 ] || [ -n "$OVER_WINDOWS" ]; then
    number=5
    for inf in qvmdm qvser ${OVER_WINDOWS:+qvadb}; do
        mv "$DRIVE_C/windows/inf/$inf.inf" "$DRIVE_C/windows/inf/oem$number.inf" &&
            mv "$DRIVE_C/windows/inf/$inf.pnf" "$DRIVE_C/windows/inf/oem$number.PNF"
        number=$((number + 1))
    done
    add_storage_device
    log_mark
    launch
    check "at the next plug-in the launcher finds the driver the installer placed, in the native folder" \
        log_new_has "Inf: sys file(C:\\windows\\system32\\drivers\\$DRIVER) exist"
    if [ -n "$OVER_WINDOWS" ]; then
        check "Windows' own, which the INFs over it need not name" log_new_starts \
            "INFO: The driver file usbser.sys is Windows' own (Windows' INF "
    fi
    check "and hands the device to the staged 64-bit installer to switch the ports" log_new_in_order \
        'switch ports because of driver file is installed in system' \
        "INF: shell exe $TEMP_WIN\\Driver\\$INSTALLER.exe with parameter E: 5"
    check "which ends by itself" wintool gone "$INSTALLER.exe"
    LOG_NAME=$INSTALLER check "after switching the device" log_new_in_order 'dlg.m_nDoType = 5' 'Disk is refind'
fi

scenario_end
