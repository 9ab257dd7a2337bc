// CInstoriaDlg: the installer's one window, and the object that holds every start-up result and the user
// texts. Start-up fills it before the window exists.
//
// This build holds what start-up needs: the texts of DrvLang.ini, the command line's results, the device's
// CD-ROM drive and the window icon. The skinned window itself (skin, progress bar, exit buttons) and the
// install and update workers that its set-up starts are not built yet: the window shows its bare template,
// logs which worker it would start, and stays until it is closed.
#pragma once

#include "framework/dialog.h"
#include "common/text.h"

#include <windows.h>

#include <string>

class CInstoriaDlg : public CDialog {
public:
    CInstoriaDlg();
    ~CInstoriaDlg() override;

    // Reads the twelve texts of section "Section_LID0x%04x" of {ModuleDir}DrvLang.ini. 1 all read; 0 at the
    // first key missing or empty (the texts read before it keep their new values, the others their old).
    int LoadLanguageTexts(WORD languageId);
    // The same from a given file.
    int LoadLanguageTextsFrom(const std::string& file, WORD languageId);

    std::string m_strInstallInfo;
    std::string m_strShowText;
    std::string m_strInfoAfterDriver;
    std::string m_strProgramName;
    std::string m_strBoxTitle;
    std::string m_strPhoneNotConnect;
    std::string m_strDriverExist;
    std::string m_strOnlyOnePhone;
    std::string m_strUpdateSuc;
    std::string m_strUpdateFailed;
    std::string m_strUpdateNotation;
    std::string m_strRestartNotation;
    std::string m_strUpdating;
    int m_nDoType = 0;                    // run mode, from the command line
    char m_szCdromDrive[kPathRoom] = {};  // the device's CD-ROM drive, "E:"
    char m_szInstallType[kPathRoom] = {}; // "/install", "/uninstall" or empty
    int m_nCdromCount = 0;                // the device's CD-ROM drives found
    HICON m_hIcon = nullptr;              // Res\vender.ico beside the program; null when missing

protected:
    BOOL OnInitDialog() override;
};

// Which worker the window starts: the update worker when start-up found an outdated driver.
enum class InstallerWorker { kInstall, kUpdate };
InstallerWorker ChooseWorker(int modemUpdate, int serialUpdate, int adbUpdate);
