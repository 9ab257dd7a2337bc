#!/usr/bin/env bash
# The shipped 32-bit installer started from the device's CD-ROM on 64-bit Windows 7: it stages the package
# with the 64-bit edition folder into a folder of its own and starts the staged 64-bit installer (Instoria64.exe, the x86_64 build),
# whose mutex and log lines carry that name.
# Usage: installer_hands_over_to_the_64bit_installer.sh SHIP_TREE_I686 SHIP_TREE_X86_64
. "$(dirname "$0")/installer.sh"

installer_begin win64 6.1 7601.17514.amd64fre.win7sp1_rtm.101119-1850
add_storage_device
device_cdrom E:

log_mark
run "$MEDIUM/Driver/Instoria.exe"
check "the 32-bit installer on the medium knows the 64-bit system" log_new_has 'It is a 64bite OS'
check "it stages the 64-bit edition folder" \
    log_new_has 'make sure the temp driver folder then create it :\Win7-AMD64 --AutoRun_GetTmpSysDrvDirName()--'
own_copy 1
check "whose drivers arrive" all_exist "$OWN/Win7-AMD64/qvmdm.inf" "$OWN/Win7-AMD64/qvusbser.sys"
check "it starts the staged 64-bit installer with the drive and 4" \
    log_new_has "INF: shell exe $OWN_WIN\\Instoria64.exe with parameter E: 4"

check "the 64-bit installer shows its window" wintool wait "$WINDOW_TITLE"
LOG_NAME=Instoria64 check "it runs from its own folder with mode 4" log_new_has 'dlg.m_nDoType = 4'
LOG_NAME=Instoria64 check "its mutex carries the 64-bit name" log_new_has 'INF: Create Mutex:Instoria64.exe success'

log_mark
run "$OWN/Instoria64.exe" E: 4
LOG_NAME=Instoria64 check "a second 64-bit installer ends at that mutex" \
    log_new_has 'INF: Mutex:Instoria64.exe is exist, close dialog'

log_mark
check "the window closes when asked" wintool close "$WINDOW_TITLE" gone Instoria64.exe
LOG_NAME=Instoria64 check "and the installer ends" log_new_has 'BOOL CInstoriaApp::InitInstance() end'

scenario_end
