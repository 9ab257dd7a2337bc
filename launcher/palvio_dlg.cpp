#include "palvio_dlg.h"

#include "resource.h"

#include "common/files.h"
#include "common/log.h"

CPalvioDlg::CPalvioDlg() : CDialog(IDD_PALVIO_DIALOG) {
    std::string icon = GetModuleDir() + "Res" + "\\vender.ico";
    m_hIcon = static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

CPalvioDlg::~CPalvioDlg() {
    FreeProductDll();
    if (m_hIcon)
        DestroyIcon(m_hIcon);
}

BOOL CPalvioDlg::DestroyWindow() {
    // Nothing calls into the library once the window is gone.
    FreeProductDll();
    return CDialog::DestroyWindow();
}

BOOL CPalvioDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_strProgramName.c_str());
    // Not built yet: the skin, the buttons and the watch of the medium's drive. The window ends when it is
    // closed.
    WriteLog("PENDING: CPalvioDlg: window set-up, buttons and the drive watch are not built yet");
    return TRUE;
}

std::string MediumDrive() {
    char folder[kPathRoom] = {};
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return std::string();
    return std::string(folder, length < 2 ? length : 2);
}
