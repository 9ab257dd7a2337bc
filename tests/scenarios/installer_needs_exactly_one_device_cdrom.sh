#!/usr/bin/env bash
# The shipped installer on Windows 7 (32-bit) counts the CD-ROM drives of the device by the sign in their
# mounted-device records: with none, or with two, it tells the user in a message box (answered here as a
# person would) and ends. The removal road needs no device at all. The texts follow the system's language,
# British English where that language's section is incomplete.
# Usage: installer_needs_exactly_one_device_cdrom.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win32 6.1 7601.17514.x86fre.win7sp1_rtm.101119-1850
# The medium in another maker's CD-ROM drive, whose record lacks the device's sign: the installer can be
# started from there while the device is away.
sim cdrom-define D: "$MEDIUM" --record '\??\IDE#CdRomHL-DT-ST_DVDRAM_GH22NS50#5&2f0d4a&0&1.0.0#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}'
copy="$MEDIUM/Driver"

log_mark
run "$copy/Instoria.exe" /uninstall
check "/uninstall runs without the device" log_new_has '----------------Uninstall : Section_Palvio1-------------------'
check "to its end" log_new_has 'Remove driver, OK.'
check "and ends without looking for it" log_new_lacks 'check_rdrom_state'
check "with status 0" result_is 0 removal
log_mark
run "${SUITE_TEST_TREE32:-}/tests/scenarios/standard_user.exe" "$copy/Instoria.exe" /uninstall
check "an account without administrator rights ends it with status 3" result_is 3 'administrator check'
check "before the removal" log_new_lacks 'Uninstall begin'

log_mark
start_at 'D:\Driver\Instoria.exe' "$copy/Instoria.exe"
check "with only another maker's CD-ROM the user is told that no device is there" wintool answer "$BOX_TITLE"
check "in the box's own words" tool_printed 'text No Palvio device was found. Please connect your device and try again.'
finish
check "the installer ends after the box" log_new_has 'Exit Programm Instoria'
check "having counted no drive of the device" log_new_has 'Get zero Current Phone CDROM Drives'
check "with status 4" result_is 4 'device cd-rom'

# Two devices: two CD-ROM drives with the sign. The system speaks German, and DrvLang.ini has German texts.
device_cdrom E:
mkdir -p "$PREFIX/second"
sim cdrom-define F: "$PREFIX/second" --sign "$DEVICE_SIGN"
log_mark
SUITE_WINE_LANG=0x0407 start_at 'D:\Driver\Instoria.exe' "$copy/Instoria.exe"
check "with two devices the user is asked to connect only one" wintool answer 'Palvio Hinweis'
check "in German" tool_printed 'text Mehr als ein Palvio-Geraet ist angeschlossen. Bitte schliessen Sie nur ein Geraet an.'
finish
check "the German section was used" log_new_has 'Support LID 0x0407 language, use this language'
check "two drives were counted" log_new_has 'Get More than one Current Phone CDROM Drives'
check "and the installer ends" log_new_has 'Exit Programm Instoria'
check "with status 4" result_is 4 'device cd-rom'

# A German section that lacks one text (one that is never shown, even): British English instead.
sed -i '/^\[Section_LID0x0407\]/,$ { /^Key_UpdateNotation=/d }' "$copy/DrvLang.ini"
log_mark
SUITE_WINE_LANG=0x0407 start_at 'D:\Driver\Instoria.exe' "$copy/Instoria.exe"
check "an incomplete section gives the British English box" wintool answer "$BOX_TITLE"
check "with its text" tool_printed \
    'text More than one Palvio device is connected. Please connect only one device and try again.'
finish
check "the missing text is named" \
    log_new_has 'Err:Get config(Section:Section_LID0x0407; Key:Key_UpdateNotation) from cfg file fialed'
check "and the fallback logged" log_new_has 'Not support LID 0x0407 language, use default language:0x0809'

scenario_end
