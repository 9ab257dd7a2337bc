#!/usr/bin/env bash
# The shipped launcher and the installer's status mark. On Windows XP, a mark of 0 (the installer has switched
# the device and seen its CD-ROM come back, which started this launcher) is reset to 1 and the launcher ends;
# started again, it goes past the mark to its window, in the system's language. Windows 2000, and a Windows
# whose edition is unknown (Windows 8 and 10 to a medium without [Newer_Windows]), leave the mark alone; with
# the section, Windows 11 is named and its mark consumed. A library planted beside the launcher under a name
# that Wine's shell and path libraries bring in (shcore.dll, which Wine takes from beside a program) is never
# loaded.
# Usage: launcher_consumes_the_install_mark.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
printf '[drive]\r\nstatus=0\r\n' >"$STATUS_FILE"
planted="$TEST_TREE32/tests/scenarios/planted.dll"
cp "$planted" "$MEDIUM/shcore.dll" || { echo "FAIL: the planted library is not built ('$planted')"; exit 1; }

log_mark
launch
check "the launcher reads its switches" log_new_has 'Info:The value of config(Section:Section_Autorun; Key:use_driver_lite) is no.'
check "and takes its mutex" log_new_has 'INF: Create Mutex:PalvioAutorunMutex success'
check "it starts the library with the library's own path" journal_has 'InitialDllPara E:\PalvioPlugin.dll'
check "it finds the mark" log_new_has 'driver install status is 0'
check "and resets it" file_has_line "$STATUS_FILE" 'status=1'
check "then ends without looking for the device" log_new_lacks 'Begin detect device'
check "or asking the library anything else" journal_is 'loaded' 'InitialDllPara E:\PalvioPlugin.dll' \
    'InitialDllPara -> 1' 'freed'
check "or showing its window" log_new_lacks 'dialog begin...'

# Started again (by the next plug-in), in German: past the mark, no device, no application: the window.
plugin_answers
log_mark
with_language 0x0407 launch_start
check "the second launcher shows its window" window_shows
check "it went past the mark" log_new_has 'driver install status is 1'
check "it looked for the card reader and for the storage identity" \
    log_new_has 'Not finded the device(usb\vid_2f5e&pid_7a01)'
check "it asked whether an application runs" log_new_has 'run m_FunCheckPalvioIsRunning and m_FunCheckDialIsRunning'
check "the library says neither is offered" journal_has 'PalvioIsEnable -> 0'
check "so neither is asked whether it runs" journal_lacks 'IsRunning'
check "the texts of the system's language" log_new_has 'Support LID 0x0407 language, use this language'
check "are the German ones" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0407; Key:Key_Button4) is Palvio   Einwahl.'
check "the window closes when asked" window_closes
check "and the launcher ends after it" log_new_has 'dialog close'
check "successfully" log_new_has 'program success exit'
check "having let the library go" journal_has 'freed'
check "the mark stays reset" file_has_line "$STATUS_FILE" 'status=1'

# Windows 2000 knows no mark: the file is neither read nor rewritten. The Palvio application runs and the
# device has left its storage identity: the launcher has nothing to do.
sim edition 5.0
printf '[drive]\r\nstatus=0\r\n' >"$STATUS_FILE"
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
log_mark
launch
check "on Windows 2000 the mark is not read" log_new_lacks 'driver install status'
check "nor rewritten" file_has_line "$STATUS_FILE" 'status=0'
check "the application's pair settles it" journal_has 'CheckPalvioIsRunning -> 1'
check "without the dial-up pair" journal_lacks 'DialIsEnable'
check "the launcher ends quietly: no installer" log_new_lacks 'call_instoria()'
check "and no window" log_new_lacks 'dialog begin...'

# A Windows the profile reader does not know leaves the edition code at 0: no mark either. Windows 8 is such
# a Windows for a medium that names no edition folders for it.
MEDIUM_PROFILE="$PREFIX/drvcfg.ini"
cp "$MEDIUM/Driver/drvcfg.ini" "$MEDIUM_PROFILE"
sed -i '/^\[Newer_Windows\]/,/^\r\{0,1\}$/d' "$MEDIUM/Driver/drvcfg.ini"
sim edition 6.2
log_mark
launch
check "an unknown Windows is said so" log_new_has 'Err:Not support current system'
check "and its mark is not read" log_new_lacks 'driver install status'
check "nor rewritten" file_has_line "$STATUS_FILE" 'status=0'

# So is Windows 10 ("6.3", major number 10): the launcher says so and leaves the mark; the installer, started
# from the medium, stages nothing and hands over to nothing.
sim edition 6.3 19041.1.x86fre.vb_release.191206-1406 --major 10 --build 19045
log_mark
launch
check "Windows 10 is an unknown 6.3" log_new_in_order 'current system version 6.3' 'unknow system version 6.3' \
    'Err:Not support current system'
check "not named" log_new_lacks 'current system is Windows'
check "its mark is not read" all "log_new_lacks 'driver install status'" "file_has_line '$STATUS_FILE' status=0"
run "$MEDIUM/Driver/Instoria.exe"
LOG_NAME=Instoria check "the installer's staging fails" log_new_in_order 'unknow system version 6.3' \
    'Run InitalDriverSetup' 'InitalDriverSetup Failed' 'Exit Programm Instoria'
check "nothing is staged" test -z "$(find "$TEMP_DIR/Driver" -mindepth 1)"
LOG_NAME=Instoria check "and starts no staged copy" log_new_lacks 'shell exe'

# With the section, Windows 11 (build 22000 and later; 64-bit only, its values read the same in this 32-bit
# prefix) is named and its mark consumed.
cp "$MEDIUM_PROFILE" "$MEDIUM/Driver/drvcfg.ini"
sim edition 6.3 22621.1.amd64fre.ni_release.220506-1250 --major 10 --build 22631
log_mark
launch
check "Windows 11 is named as 11" log_new_has 'current system is Windows 11, build 22631'
check "its mark is read and reset" all "log_new_has 'driver install status is 0'" \
    "file_has_line '$STATUS_FILE' status=1"
check "the library planted beside the launcher and the installer was never loaded" \
    test ! -e "$DRIVE_C/planted-libraries.txt"

scenario_end
