#include "instoria_dlg.h"

#include "resource.h"
#include "startup.h"

#include "common/files.h"
#include "common/log.h"

CInstoriaDlg::CInstoriaDlg() : CDialog(IDD_INSTORIA_DIALOG) {
    std::string icon = GetModuleDir() + "Res" + "\\vender.ico";
    m_hIcon = static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

CInstoriaDlg::~CInstoriaDlg() {
    if (m_hIcon)
        DestroyIcon(m_hIcon);
}

InstallerWorker ChooseWorker(int modemUpdate, int serialUpdate, int adbUpdate) {
    return modemUpdate || serialUpdate || adbUpdate ? InstallerWorker::kUpdate : InstallerWorker::kInstall;
}

BOOL CInstoriaDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(m_strProgramName.c_str());
    // Not built yet: the skin and the workers. Nothing is installed or updated; the window ends when it is
    // closed.
    bool update = ChooseWorker(g_bModemUpdate, g_bSerialUpdate, g_bAdbUpdate) == InstallerWorker::kUpdate;
    WriteLog("PENDING: CInstoriaDlg: window set-up and the %s worker are not built yet; nothing installed",
             update ? "update" : "install");
    return TRUE;
}
