#!/usr/bin/env bash
# The shipped launcher binds the plug-in library with all 13 entry points or not at all, and ends cleanly,
# with its log lines, on whatever its configuration and library are: a configuration that is missing, empty,
# binary or holds 10 000 keys; a switch that is missing; a library that lacks one entry point, is no library
# at all or is a 64-bit one; entry points that answer odd values; a device profile that lacks a key. A second
# launcher ends at the mutex.
# Usage: launcher_binds_its_plugin_whole_or_not_at_all.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
config="$MEDIUM/autoruncfg.cfg"
cp "$config" "$PREFIX/autoruncfg.cfg.sample"
restore_config() { cp "$PREFIX/autoruncfg.cfg.sample" "$config"; }

# Binding does not depend on the buttons: a library without DialIsEnable is refused even when the dial-up
# button is off. It is let go at once.
sed -i 's/^Key_IsSupportDialup=.*/Key_IsSupportDialup=no/' "$config"
cp "$TEST_TREE32/tests/doubles/plugin_without_dial/PalvioPlugin.dll" "$MEDIUM/PalvioPlugin.dll"
plugin_answers
log_mark
launch
check "a library that lacks only DialIsEnable is refused" \
    log_new_has 'ERR: The product library E:\PalvioPlugin.dll has no entry point DialIsEnable'
check "before any entry point is called, and it is freed" journal_is 'loaded' 'freed'
check "start-up ends before the mutex" log_new_lacks 'Mutex'
cp "$PLUGIN_DOUBLE" "$MEDIUM/PalvioPlugin.dll"
restore_config

# A switch missing: the keys before it are read, the error names it, the library is never loaded.
sed -i '/^Key_IsSupportSd=/d' "$config"
plugin_answers
log_mark
launch
check "the mutex name is read" log_new_has 'Info:The value of config(Section:Section_Autorun; Key:Key_PrgMutex) is PalvioAutorunMutex.'
check "and the MTP switch" log_new_has 'Info:The value of config(Section:Section_Autorun; Key:Key_IsSupportMtp) is yes.'
check "a missing SD switch is named" log_new_has 'Err:Get config(Section:Section_Autorun; Key:Key_IsSupportSd) from cfg file fialed'
check "after the reader's own words" log_new_has 'Err: Read parameter(Key_IsSupportSd) from E:\autoruncfg.cfg Failed'
check "the switches after it are not read" log_new_lacks 'Key:Key_IsSupportPalvio'
check "the library is never loaded" test ! -e "$JOURNAL"
restore_config

# An empty library name makes the library path the launcher's folder: nothing loads.
sed -i 's/^Key_DllModuleName=.*/Key_DllModuleName=/' "$config"
plugin_answers
log_mark
launch
check "an empty library name is refused by the reader" \
    log_new_has 'Err: The parameter(Key_DllModuleName) data from E:\autoruncfg.cfg is empty, but its value don'"'"'t allow be empty'
check "then the package folder is not read" log_new_lacks 'Key:Key_DriverPath'
check "and the launcher's folder does not load as a library" log_new_count 'ERR: Load the product library E:\ failed' 1
check "no library was loaded" test ! -e "$JOURNAL"
restore_config

# Configuration files that are no configuration: each ends the launcher with the reader's line.
for kind in missing empty binary; do
    case $kind in
    missing) rm -f "$config" ;;
    empty) : >"$config" ;;
    binary) head -c 65536 /dev/urandom >"$config" ;;
    esac
    plugin_answers
    log_mark
    launch
    check "a configuration that is $kind ends the launcher" \
        log_new_has 'Err:Get config(Section:Section_Autorun; Key:Key_DllModuleName) from cfg file fialed'
    check "with the library's error, after the switches' first" \
        log_new_has 'Err:Get config(Section:Section_Autorun; Key:Key_PrgMutex) from cfg file fialed'
    check "cleanly" status_is 0
    check "no library was loaded" test ! -e "$JOURNAL"
done

# 10 000 other keys before the real ones: the reader finds them all; the library is bound.
{
    printf '[Section_Autorun]\r\n'
    seq -f 'Key_Filler%05g=some value of a key nobody reads' 1 10000 | sed 's/$/\r/'
    sed 1,/Section_Autorun/d "$PREFIX/autoruncfg.cfg.sample"
} >"$config"
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
log_mark
launch
check "behind 10 000 keys the switches are read" \
    log_new_has 'Info:The value of config(Section:Section_Autorun; Key:use_driver_lite) is no.'
check "and the library bound and started" journal_has 'InitialDllPara -> 1'
restore_config

# Entry points may answer any number: anything but 0 is yes.
plugin_answers PalvioIsEnable=-1 CheckPalvioIsRunning=7
log_mark
launch
check "odd answers count as yes" journal_has 'CheckPalvioIsRunning -> 7'
check "the application runs, the device is not in storage mode: a quiet end" log_new_lacks 'call_instoria()'
check "without a window" log_new_lacks 'dialog begin...'
check "the library is freed at the end" journal_has 'freed'

# The library crashes inside an entry point: the launcher's last word names the library, and it ends at once
# with the exception's code instead of waiting in the system's error dialog; the next start is not held up.
plugin_answers PalvioIsEnable=1 Crash=CheckPalvioIsRunning
log_mark
launch
check "a crash in the library ends the launcher" journal_has 'CheckPalvioIsRunning crashes'
# The access violation arrives as one (0xc0000005) on Windows, as an illegal instruction (0xc000001d) from
# 32-bit Wine under qemu's emulator.
check "with a line that names the library" any \
    "log_new_starts 'ERR: The program ends after exception 0xc0000005 in PalvioPlugin.dll at offset 0x'" \
    "log_new_starts 'ERR: The program ends after exception 0xc000001d in PalvioPlugin.dll at offset 0x'"
check "and the exception's code as its status" any "status_is $((0xc0000005 & 255))" "status_is $((0xc000001d & 255))"
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
log_mark
launch
check "the next launcher takes the mutex" log_new_has 'INF: Create Mutex:PalvioAutorunMutex success'

# The Palvio application is not offered: its running check is skipped, the dial-up pair decides.
plugin_answers PalvioIsEnable=0 DialIsEnable=1 CheckDialIsRunning=1
log_mark
launch
check "an application that is not offered is not asked whether it runs" journal_lacks 'CheckPalvioIsRunning'
check "the dial-up application is" journal_has 'CheckDialIsRunning -> 1'

# A device profile that lacks a key: start-up ends before the library is started.
profile="$MEDIUM/Driver/drvcfg.ini"
cp "$profile" "$PREFIX/drvcfg.ini.sample"
sed -i '/^Key_ModemHwId=/d' "$profile"
plugin_answers
log_mark
launch
check "a profile without the modem's ID ends the launcher" \
    log_new_has 'Err:Get config(Section:Section_Driver; Key:Key_ModemHwId) from cfg file fialed'
check "having bound but not started the library" journal_is 'loaded' 'freed'
cp "$PREFIX/drvcfg.ini.sample" "$profile"

# The library refuses to start.
plugin_answers InitialDllPara=0
log_mark
launch
check "a library that refuses to start ends the launcher" journal_is 'loaded' 'InitialDllPara E:\PalvioPlugin.dll' \
    'InitialDllPara -> 0' 'freed'
check "saying so" log_new_has 'ERR: InitialDllPara(E:\PalvioPlugin.dll) refused, program exit'

# Libraries that are none, or not for this program.
printf 'MZ but nothing else\r\n' >"$MEDIUM/PalvioPlugin.dll"
log_mark
launch
check "a file that is no library is refused" log_new_has 'ERR: Load the product library E:\PalvioPlugin.dll failed, error 193'
check "cleanly" status_is 0
cp "$TEST_TREE64/tests/doubles/plugin/PalvioPlugin.dll" "$MEDIUM/PalvioPlugin.dll"
plugin_answers
log_mark
launch
check "so is a 64-bit library" log_new_has 'ERR: Load the product library E:\PalvioPlugin.dll failed, error 193'
check "which never ran" test ! -e "$JOURNAL"
cp "$PLUGIN_DOUBLE" "$MEDIUM/PalvioPlugin.dll"

# One launcher at a time: a second one ends at the mutex and leaves the first alone.
plugin_answers
log_mark
launch_start
check "a first launcher shows its window" window_shows
launch
check "a second one ends at the mutex" log_new_has 'INF: Mutex:PalvioAutorunMutex is exist, close dialog'
check "having bound the library but not started it" journal_has 'freed'
check "the first window stays" wintool wait "$LAUNCHER_TITLE"
check "until it is closed" window_closes

scenario_end
