#!/usr/bin/env bash
# "/uninstall" with the shipped installer (its fast-clock twin, so that the pauses between the steps cost
# little) on Windows XP: the products that key_UnInstall_pid_list names lose, in order, their interface and
# composite nodes, their storage node, the OEM copies of their INF files (through Windows' own uninstall; one
# that it cannot remove as plain files) and their driver files. Everything
# else stays: other makers' nodes, INF copies and driver files, an interface that is the device's mass
# storage, an INF that names the product but none of its interfaces. Every listed section is read and checked
# before anything is removed: one that is missing, or a file name that leads out of the driver folder, or a
# product ID of one character, ends the run with status 2 and nothing removed. A removal that leaves a file
# of the product behind, or meets an INF copy it cannot read, ends with status 1 and names it.
# A library planted beside the installer under a name that Wine's shell and path libraries bring in
# (shcore.dll, which Wine takes from beside a program) is never loaded.
# Usage: installer_removes_the_listed_products.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win32 5.1
# A medium of the fast-clock twin, as the CD-ROM D: (an installer runs as administrator only from a folder
# that the user cannot change).
package="$PREFIX/fast-medium/Driver"
mkdir -p "$package"
cp -r "$MEDIUM/Driver/." "$package/"
cp "$SHIP_I686/fast/Instoria.exe" "$package/Instoria.exe"
sim cdrom-define D: "$PREFIX/fast-medium" --sign "$DEVICE_SIGN" || exit 1
planted="${SUITE_TEST_TREE32:-}/tests/scenarios/planted.dll"
cp "$planted" "$package/shcore.dll" || { echo "FAIL: the planted library is not built ('$planted')"; exit 1; }
INF="$DRIVE_C/windows/inf"
DRIVERS="$DRIVE_C/windows/system32/drivers"
MASS_COMPAT='USB\Class_08&SubClass_06&Prot_50'
STOR_REVISION='____________1.00'

# product_section PID: a profile section for the earlier product usb\vid_2f5e&pid_PID with two interfaces
# and its own driver files qvserPID.sys and qvadbPID.sys.
product_section() {
    sed -n '/^\[Section_Palvio1\]/,/^$/p' "$MEDIUM/Driver/drvcfg.ini" |
        sed "s/^\[Section_Palvio1\]/[$1]/; s/pid_6b01/pid_$1/g; s/vid_2f5e&pid_6b03/vid_2f5f\&pid_$1/g;
             s/^Key_UsbStorHwId=.*/Key_UsbStorHwId=usbstor\\\\cdrompalvio__$1$STOR_REVISION/;
             s/^Key_UsbDriverName=.*/Key_UsbDriverName=qvser$1.sys/; s/^Key_AdbUsbDriverName=.*/Key_AdbUsbDriverName=qvadb$1.sys/"
}
# removal_list TEXT: the value of key_UnInstall_pid_list.
removal_list() { sed -i "s/^key_UnInstall_pid_list=.*/key_UnInstall_pid_list=$1\r/" "$package/drvcfg.ini"; }
{
    echo
    product_section 1001
    product_section 1003
} >>"$package/drvcfg.ini"

# product_nodes PID [MASS_INTERFACE]: the product's composite node, its two interfaces and its CD-ROM node;
# with MASS_INTERFACE that interface is the device's mass storage.
product_nodes() {
    local hwid="USB\\VID_2F5E&PID_$1" mass=${2:-} i compat
    sim device-add --instance "$hwid\\P$1" --hwid "$hwid&REV_0100,$hwid" --compat 'USB\DevClass_00,USB\COMPOSITE'
    for i in 0 1; do
        compat='USB\Class_02&SubClass_02,USB\Class_02'
        [ "$i" = "$mass" ] && compat="$MASS_COMPAT,USB\\Class_08"
        sim device-add --instance "$hwid&MI_0$i\\7&P$1&0&000$i" --hwid "$hwid&REV_0100&MI_0$i,$hwid&MI_0$i" \
            --compat "$compat"
    done
    sim device-add --class CDROM --instance "USBSTOR\\CDROM&VEN_PALVIO&PROD_$1\\P$1&0" \
        --hwid "USBSTOR\\CdRomPalvio__$1$STOR_REVISION,USBSTOR\\CdRomPalvio__$1" \
        --compat 'USBSTOR\CdRom,GenCdRom'
}
nodes_with() {
    sim device-list --hwid "$1"
    [ -n "$SIM_OUTPUT" ] || { echo "  no node has $1"; false; }
}
no_node_with() {
    sim device-list --hwid "$1"
    [ -z "$SIM_OUTPUT" ] || { echo "  a node still has $1"; false; }
}
place_inf() { printf '%s' "$2" >"$INF/oem$1.inf" && printf 'PNF' >"$INF/oem$1.PNF"; }
files_gone() {
    local file
    for file in "$@"; do [ ! -e "$file" ] || { echo "  still there: $file"; return 1; }; done
}

# Two earlier products on the PC; product 1003's second interface is its mass storage.
product_nodes 1001
product_nodes 1003 1
sim device-add --instance 'USB\VID_1111&PID_2222&MI_00\7&OTHER&0&0000' --hwid 'USB\VID_1111&PID_2222&MI_00'
mkdir -p "$INF" "$DRIVERS"
place_inf 5 $'[Strings]\r\nSerial="Palvio serial"\r\n[Models]\r\n%Serial%=Ser, USB\\VID_2F5E&PID_1001&MI_01\r\n'
place_inf 6 $'[Models]\r\n%Composite%=Cmp, USB\\VID_2F5E&PID_1001\r\n'
place_inf 7 $'[Models]\r\n%Other%=Oth, USB\\VID_1111&PID_2222&MI_00\r\n'
place_inf 8 $'[Models]\r\n%Modem%=Mdm, usb\\vid_2f5e&pid_1003&mi_00\r\n'
place_inf 9 ''
printf 'MZ\0\0\1\2USB\\VID_2F5E&PID_1001&MI_00\r\n' >"$INF/oem10.inf" # the ID after a zero byte
head -c 4096 /dev/urandom >"$INF/oem11.inf"
# The modem interface through a [Strings] token, as WinUSB tooling writes it; then only its revision-qualified ID.
place_inf 12 $'[Models]\r\n%Modem%=Mdm, USB\\%ModemId%\r\n[Strings]\r\nModemId="VID_2F5E&PID_1001&MI_00"\r\n'
place_inf 13 $'[Models]\r\n%Modem%=Mdm, USB\\%ModemId%\r\n[Strings]\r\nModemId=VID_2F5E&PID_1001&REV_0100&MI_00\r\n'
for file in qvser1001.sys qvadb1001.sys qvser1003.sys other.sys; do printf 'driver' >"$DRIVERS/$file"; done
chmod a-w "$DRIVERS/qvadb1001.sys" # read-only: removed all the same
chmod a-w "$INF/oem8.inf"            # Wine's SetupUninstallOEMInfA cannot delete it: the plain deletion does

removal_list '1001, 1003'
log_mark
started=$(date +%s%N)
run "$package/Instoria.exe" /uninstall
echo "  the removal of two products took $((($(date +%s%N) - started) / 1000000)) ms"
check "the list is read" \
    log_new_has 'Info:The value of config(Section:Uninstall_Drivers_Name; Key:key_UnInstall_pid_list) is 1001, 1003.'
check "both products are handled, 1001 first" log_new_in_order \
    '----------------Uninstall : 1001-------------------' 'Remove driver, OK.' \
    'remove composite device usb\vid_2f5e&pid_1001 success.' \
    '----------------Uninstall : 1003-------------------' 'Remove driver, OK.' \
    'remove composite device usb\vid_2f5e&pid_1003 success.'
check "the interfaces are &mi_00 and &mi_01" log_new_in_order \
    'INFO: remove dirver info suc, Device ID: usb\vid_2f5e&pid_1001&mi_00.' \
    'INFO: remove dirver info suc, Device ID: usb\vid_2f5e&pid_1001&mi_01.'
check "their nodes are gone" no_node_with 'USB\VID_2F5E&PID_1001&MI_00'
check "both" no_node_with 'USB\VID_2F5E&PID_1001&MI_01'
check "as are the composite nodes" no_node_with 'USB\VID_2F5E&PID_1001'
check "and the CD-ROM nodes" no_node_with "USBSTOR\\CdRomPalvio__1003$STOR_REVISION"
check "the mass-storage interface stays" nodes_with 'USB\VID_2F5E&PID_1003&MI_01'
check "and is named" log_new_has 'Don'"'"'t Del : usb\class_08&subclass_06&prot_50...'
check "another maker's node stays" nodes_with 'USB\VID_1111&PID_2222&MI_00'
check "the INF copy naming interface 01 goes with its PNF" files_gone "$INF/oem5.inf" "$INF/oem5.PNF"
check "as does the one naming the modem interface of 1003" files_gone "$INF/oem8.inf" "$INF/oem8.PNF"
check "which is logged" log_new_has 'File_info: C:\windows\Inf\oem5.inf; USB_info:usb\vid_2f5e&pid_1001&mi_01. Match!'
check "the copy naming the modem interface through a token goes too" files_gone "$INF/oem12.inf" "$INF/oem12.PNF"
check "by its ID with the token put in" \
    log_new_has 'File_info: C:\windows\Inf\oem12.inf; USB_info:usb\vid_2f5e&pid_1001&mi_00. Match!'
check "Windows removed the copy, the .PNF it left was deleted" log_new_in_order \
    'INFO: Windows removed the driver package oem5.inf.' 'INFO: Remove inf file suc, file: C:\windows\Inf\oem5.inf.' \
    'INFO: Remove pnf file suc, file: C:\windows\Inf\oem5.Pnf.'
check "the read-only copy Windows could not remove went as plain files" log_new_in_order \
    'ERROR: SetupUninstallOEMInf oem8.inf fail.LastError:5, deleting its files' \
    'INFO: Remove inf file suc, file: C:\windows\Inf\oem8.inf.' 'INFO: Remove pnf file suc, file: C:\windows\Inf\oem8.Pnf.'
check "the one naming only the product, another maker's, an empty, a cut, a binary one and a revision's stay" \
    all_exist "$INF/oem6.inf" "$INF/oem6.PNF" "$INF/oem7.inf" "$INF/oem9.inf" "$INF/oem10.inf" "$INF/oem11.inf" \
    "$INF/oem13.inf"
check "the products' driver files are gone, the read-only one too" \
    files_gone "$DRIVERS/qvser1001.sys" "$DRIVERS/qvadb1001.sys" "$DRIVERS/qvser1003.sys"
check "a missing driver file is only logged" \
    log_new_has 'ERROR: Remove sys file err, file: C:\windows\system32\drivers\qvadb1003.sys.'
check "another driver file stays" all_exist "$DRIVERS/other.sys"
check "the resident setting was switched off" log_new_count 'Info: change_resident_register() is ok.' 2
check "nothing else failed" log_new_count 'ERROR' 2 # the read-only copy's call and qvadb1003.sys
check "nor did a step" log_new_lacks 'Error'

# The same list written with two commas, and with a blank: the same two products, and no INF copy left.
rm -f "$INF"/oem*.inf "$INF"/oem*.PNF
for list in '1001,,1003' '1001 1003'; do
    removal_list "$list"
    log_mark
    run "$package/Instoria.exe" /uninstall
    check "'$list' names 1001, then 1003" log_new_in_order \
        '----------------Uninstall : 1001-------------------' '----------------Uninstall : 1003-------------------'
    check "without INF copies the removal goes on" log_new_count 'INFO: Donot find oem files. LastError:2' 2
    check "to its end" log_new_count 'Remove driver, OK.' 2
done

check "the removal is whole" result_is 0 removal

# A product over Windows' own drivers: usbser.sys and winusb.sys (here those of a later Windows, both
# Windows' own) stay as Windows has them, read-only, each with its line, and are no leftover.
sim windows-own-drivers vista || exit 1
{
    echo
    product_section 1008 | sed 's/^Key_UsbDriverName=.*/Key_UsbDriverName=usbser.sys/; s/^Key_AdbUsbDriverName=.*/Key_AdbUsbDriverName=winusb.sys/'
} >>"$package/drvcfg.ini"
removal_list 1008
log_mark
run "$package/Instoria.exe" /uninstall
for driver in usbser:mdmcpq winusb:winusb; do
    check "${driver%:*}.sys stays, named as Windows' own" log_new_has \
        "INFO: C:\\windows\\system32\\drivers\\${driver%:*}.sys is Windows' own file (Windows' INF ${driver#*:}.inf names it); it stays"
    check "as Windows has it, read-only" all "grep -qx \"Windows' own ${driver%:*}.sys\" '$DRIVERS/${driver%:*}.sys'" \
        "stat -c %A '$DRIVERS/${driver%:*}.sys' | grep -q '^-r-.r-.r-'"
done
check "the removal is whole all the same" result_is 0 removal

# A product without a section stops the removal before it has removed anything, the products before it too.
product_nodes 1001
printf 'driver' >"$DRIVERS/qvser1003.sys"
removal_list '1001 1002 1003'
log_mark
run "$package/Instoria.exe" /uninstall
check "1002 has no section" log_new_in_order \
    'Err:Get config(Section:1002; Key:Key_TotalInterface) from cfg file fialed' 'Error:read drvcfg.ini error.' \
    'Exit Programm Instoria'
check "the profile cannot be used" result_is 2 removal
check "1001, listed before it, is not removed" nodes_with 'USB\VID_2F5E&PID_1001&MI_00'
check "nor is 1003" all_exist "$DRIVERS/qvser1003.sys"
check "no product is named for removal" log_new_lacks 'Uninstall : '
check "the library planted beside the installer was never loaded" test ! -e "$DRIVE_C/planted-libraries.txt"

# refused_value PID KEY VALUE FILE [KEY2 VALUE2]: product PID's section with KEY=VALUE (and KEY2=VALUE2),
# listed after 1001, ends the run with one line naming the key, the value and the section, and removes
# nothing: not FILE, nor 1001's nodes.
refused_value() {
    {
        echo
        product_section "$1" | K="$2" V="$3" K2="${5:-}" V2="${6:-}" awk -F= '
            $1 == ENVIRON["K"] { $0 = $1 "=" ENVIRON["V"] "\r" }
            ENVIRON["K2"] != "" && $1 == ENVIRON["K2"] { $0 = $1 "=" ENVIRON["V2"] "\r" } 1'
    } >>"$package/drvcfg.ini"
    removal_list "1001 $1"
    log_mark
    run "$package/Instoria.exe" /uninstall
    check "$2=$3 makes the profile unusable" result_is 2 removal
    check "in one line" log_new_count 'ERR: The profile value' 1
    check "naming key, value and section" log_new_count "ERR: The profile value [$1] $2=$3 is not " 1
    check "$4 stays" all_exist "$4"
    check "as do 1001's nodes" nodes_with 'USB\VID_2F5E&PID_1001&MI_00'
    check "nothing was removed" log_new_lacks 'Uninstall : '
}
mkdir -p "$DRIVE_C/users/Public"
printf 'a thesis' >"$DRIVE_C/users/Public/thesis.txt"
[ -e "$DRIVE_C/windows/win.ini" ] || printf '[windows]\r\n' >"$DRIVE_C/windows/win.ini"
# Another maker's INF whose interface ID ends like the one-character product's (1&mi_01).
place_inf 20 $'[Models]\r\n%Other%=Oth, USB\\VID_1111&PID_2221&MI_01\r\n'
refused_value 1005 Key_UsbDriverName '..\..\..\users\Public\thesis.txt' "$DRIVE_C/users/Public/thesis.txt"
refused_value 1006 Key_AdbUsbDriverName '..\..\win.ini' "$DRIVE_C/windows/win.ini"
refused_value 1007 Key_ProductId 1 "$INF/oem20.inf" Key_TotalInterface 9

# What stays is named: the product's driver file and an INF copy, both held by a program that shares them
# with nobody. The copy cannot be read, so it may be the product's: it is left, and the removal is not whole.
removal_list '1001'
printf 'driver' >"$DRIVERS/qvser1001.sys"
place_inf 21 $'[Models]\r\n%Modem%=Mdm, USB\\VID_2F5E&PID_1001&MI_00\r\n'
place_inf 22 $'[Models]\r\n%Modem%=Mdm, USB\\VID_2F5E&PID_1001&MI_01\r\n'
check "another program holds the driver file" hold lock 'C:\windows\system32\drivers\qvser1001.sys' 60000
check "and an INF copy" hold lock 'C:\windows\inf\oem22.inf' 60000
log_mark
run "$package/Instoria.exe" /uninstall # the holders end with the simulated PC
check "the removal ends with status 1, naming what stayed" result_is 1 \
    'removal left C:\windows\Inf\oem22.inf (unreadable), C:\windows\system32\drivers\qvser1001.sys'
check "the copy it could not read is named" log_new_has \
    "ERROR: Cannot read C:\\windows\\Inf\\oem22.inf; it may be the product's, so it stays and the removal is not known to be whole"
check "the lines of the removal stay" log_new_in_order \
    'ERROR: Remove sys file err, file: C:\windows\system32\drivers\qvser1001.sys.' 'Remove driver, OK.'
check "the readable copy went" files_gone "$INF/oem21.inf"
check "the others stayed" all_exist "$INF/oem22.inf" "$DRIVERS/qvser1001.sys"

scenario_end
