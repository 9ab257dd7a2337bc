#!/usr/bin/env bash
# The shipped launcher's texts on its window road (no device, no application): those of the system's
# language when its section is whole, else the British English ones; without usable texts there is no window.
# The CD prompt is read for the lite switches ("yes", exact case), from the language whose texts are used.
# Usage: launcher_chooses_its_texts.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/launcher.sh"

launcher_begin win32 5.1
texts="$MEDIUM/autorunlanguage.ini"
config="$MEDIUM/autoruncfg.cfg"
cp "$texts" "$PREFIX/autorunlanguage.ini.sample"

# The Chinese section without its administrator prompt: the default texts, with the lite button's CD prompt.
sed -i 's/^use_palvio_lite=.*/use_palvio_lite=yes/' "$config"
sed '/^\[Section_LID0x0804\]/,/^\r*$/{/^Key_AdminPromptMsg=/d}' "$PREFIX/autorunlanguage.ini.sample" >"$texts"
log_mark
with_language 0x0804 launch_start
check "a launcher whose language section lacks a text shows its window" window_shows
check "the section's texts up to the gap were read" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0804; Key:ProgramName) is Palvio.'
check "the gap is named" log_new_has 'Err:Get config(Section:Section_LID0x0804; Key:Key_AdminPromptMsg) from cfg file fialed'
check "the default language takes over" log_new_has 'Not support LID 0x0804 language, use default language'
check "with all its texts" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0809; Key:Key_AdminPromptMsg) is Installing needs administrator rights. Please log on as an administrator and try again..'
check "the CD prompt of the lite button among them" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0809; Key:Key_please_install_cd) is Please install the Palvio applications from the CD..'
check "the window closes when asked" window_closes

# The lite Palvio button in German, behind 10 000 other keys: the CD prompt is read too.
{
    printf '[Section_LID0x0407]\r\n'
    seq -f 'Key_Filler%05g=Text, den niemand liest' 1 10000 | sed 's/$/\r/'
    sed -n '/^\[Section_LID0x0407\]/,/^\r*$/p' "$PREFIX/autorunlanguage.ini.sample" | sed 1d
    sed -n '/^\[Section_LID0x0809\]/,/^\r*$/p' "$PREFIX/autorunlanguage.ini.sample"
} >"$texts"
log_mark
with_language 0x0407 launch_start
check "behind 10 000 keys the German texts are found" window_shows
check "all of them" log_new_has 'Support LID 0x0407 language, use this language'
check "with the CD prompt of the lite button" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0407; Key:Key_please_install_cd) is Bitte installieren Sie die Palvio-Anwendungen von der CD..'
check "the window closes when asked" window_closes

# "Yes" is not "yes" for a lite switch.
sed -i 's/^use_palvio_lite=.*/use_palvio_lite=Yes/' "$config"
log_mark
with_language 0x0407 launch_start
check "with the lite switch at Yes the window shows" window_shows
check "without the CD prompt" log_new_lacks 'Key:Key_please_install_cd'
check "the window closes when asked" window_closes

# The lite driver switch shows the same prompt: it is read for it too.
sed -i 's/^use_driver_lite=.*/use_driver_lite=yes/' "$config"
log_mark
with_language 0x0407 launch_start
check "with the lite driver switch the window shows" window_shows
check "with the CD prompt" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0407; Key:Key_please_install_cd) is Bitte installieren Sie die Palvio-Anwendungen von der CD..'
check "the window closes when asked" window_closes

# Without the German CD prompt the lite driver switch keeps German and takes the default section's prompt.
sed -i '/^\[Section_LID0x0407\]/,/^\r*$/{/^Key_please_install_cd=/d}' "$texts"
log_mark
with_language 0x0407 launch_start
check "without the German CD prompt the window shows" window_shows
check "the gap is named" log_new_has 'Err:Get config(Section:Section_LID0x0407; Key:Key_please_install_cd) from cfg file fialed'
check "German is kept" log_new_has 'Support LID 0x0407 language, use this language'
check "with the default CD prompt" \
    log_new_has 'Info:The value of config(Section:Section_LID0x0809; Key:Key_please_install_cd) is Please install the Palvio applications from the CD..'
check "the window closes when asked" window_closes

# Texts that cannot be read: no window, said so.
for kind in missing empty binary; do
    case $kind in
    missing) rm -f "$texts" ;;
    empty) : >"$texts" ;;
    binary) head -c 65536 /dev/urandom >"$texts" ;;
    esac
    log_mark
    with_language 0x0407 launch
    check "a language file that is $kind gives no texts" log_new_has 'Not support LID 0x0407 language, use default language'
    check "not even the default ones" log_new_has 'Use default language error'
    check "so no window shows" log_new_lacks 'dialog close'
    check "and the launcher ends cleanly" status_is 0
done

scenario_end
