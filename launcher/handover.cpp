// What start-up and the buttons share: the administrator check with its prompt, and the hand-over of the
// device to the installer staged in the temp folder.
#include "palvio_dlg.h"

#include "common/admin.h"
#include "common/log.h"

int CPalvioDlg::CheckAdminPrompt(int prompt) {
    if (CheckAdmin())
        return 1;
    if (prompt)
        MessageBoxA(m_hWnd, m_strAdminPromptMsg.c_str(), RunningProgramName().c_str(), MB_ICONINFORMATION);
    return 0;
}

int CPalvioDlg::call_instoria(int mode) {
    WriteLog("call_instoria()");
    if (!CheckAdminPrompt(0)) {
        WriteLog("not administrator");
        return -1;
    }
    // A failed start is no hand-over: the caller must not take it for one.
    if (!m_pDriverPrepare || !m_pDriverPrepare->ShellExeTmpSetup(MediumDrive(), mode))
        return -1;
    return 0;
}
