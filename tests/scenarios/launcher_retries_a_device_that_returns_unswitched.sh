#!/usr/bin/env bash
# A device that answers the switch but comes back in its CD-ROM mode, on Windows XP, with the shipped
# launcher and the installers' fast-clock twins. The Palvio application runs and the drivers are missing: the
# launcher hands the device to the staged installer (mode 4), which places the drivers and has the device
# switch. The letter goes and comes back, but with the storage identity again instead of the ports. The
# installer watches the letter only, so it marks the install as done. That mark is what keeps the PC out of
# a loop: the launcher the returning CD-ROM starts consumes it and ends, instead of handing the device to a
# new installer at once. Nothing is lost: the drivers stay placed, and the next plug-in hands the device over
# again.
# Usage: launcher_retries_a_device_that_returns_unswitched.sh SHIP_TREE_I686 SHIP_TREE_X86_64
FAST_CLOCK=1
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
use_doubles LetterGoesAfter=300 PortsComeAfter=-1 StorageComesBackAfter=100 LetterComesBackAfter=1200
add_storage_device
stage_package
plugin_answers PalvioIsEnable=1 CheckPalvioIsRunning=1
drivers="$DRIVE_C/windows/system32/drivers"

log_mark
launch
check "the launcher hands the device to the staged installer" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 4"
check "which ends by itself" wintool gone Instoria.exe
LOG_NAME=Instoria check "after placing the drivers and asking for the switch" \
    log_new_in_order 'Install driver Files OK' 'switch_3_port(): device switch OK' 'Disk is removed OK' \
    'Disk is refind'
own_copy
check "the drivers are in Windows" cmp -s "$OWN/Win7/qvusbser.sys" "$drivers/qvusbser.sys"
sim device-list --hwid "$DEVICE_HWID"
check "the device came back in its storage identity" test -n "$SIM_OUTPUT"
sim device-list --hwid "$DEVICE_HWID&MI_00"
check "without its ports" test -z "$SIM_OUTPUT"
check "the install is marked all the same" file_has_line "$STATUS_FILE" 'status=0'

# The returning CD-ROM starts the launcher (autorun, played here).
log_mark
launch
check "the launcher it starts finds the mark" log_new_has 'driver install status is 0'
check "and ends without handing the device over again" log_new_lacks 'call_instoria()'
check "the mark is reset for the next plug-in" file_has_line "$STATUS_FILE" 'status=1'

# The next plug-in. The medium's switch tool now takes its time, so that the installer stays at its switch
# step until its window is closed.
printf '%s\r\n' '[Answer]' 'EndsAfter=600000' '[Play]' 'Modes=-none' >"$PACKAGE/portflip.ini"
log_mark
launch
check "the next plug-in finds the storage identity" \
    log_new_has 'Begin detect device hwid(usb\vid_2f5e&pid_7a01), comId(usb\class_08&subclass_06&prot_50)'
# Wine's INF store keeps the placed INFs under their own names, not as oemN.inf, so this launcher does not
# see the drivers (on Windows it would, and would ask for mode 5): the running application's road hands the
# device over with mode 4.
check "and hands the device to the installer again" \
    log_new_has "INF: shell exe $TEMP_WIN\\Driver\\Instoria.exe with parameter E: 4"
check "whose window shows" wintool wait "$WINDOW_TITLE"
check "and closes when asked" installer_window_closes

scenario_end
