// The installer's user texts: one section of DrvLang.ini per language, every key required.
#include "instoria_dlg.h"

#include "package_folder.h"

#include "common/files.h"
#include "common/log.h"
#include "common/profile.h"

int CInstoriaDlg::LoadLanguageTexts(WORD languageId) {
    return LoadLanguageTextsFrom(InstallerPackageDir() + "DrvLang.ini", languageId);
}

int CInstoriaDlg::LoadLanguageTextsFrom(const std::string& file, WORD languageId) {
    char section[32];
    FormatBounded(section, sizeof section, "Section_LID0x%04x", languageId);
    struct Text {
        const char* key;
        std::string& member;
    };
    // In reading order; two texts are shown nowhere but are required all the same.
    const Text texts[] = {
        {"Installinfo", m_strInstallInfo},
        {"InfoAftetDriver", m_strInfoAfterDriver},
        {"DrvProgramName", m_strProgramName},
        {"NotationBoxTiltle", m_strBoxTitle},
        {"PhoneNotConnectNotation", m_strPhoneNotConnect},
        {"DriverExistNotation", m_strDriverExist},
        {"OnlyOnePhoneNotation", m_strOnlyOnePhone},
        {"Key_DriverUpdateSuc", m_strUpdateSuc},
        {"Key_DriverUpdateFailed", m_strUpdateFailed},
        {"Key_UpdateNotation", m_strUpdateNotation},
        {"Key_RestartNotation", m_strRestartNotation},
        {"Key_UpDating", m_strUpdating},
    };
    for (const Text& text : texts) {
        std::string value;
        // A failed read leaves the reader's sentinel in value: the member keeps its text instead.
        if (!ReadCfgValue(section, text.key, 0, value, file.c_str())) {
            WriteLog("Err:Get config(Section:%s; Key:%s) from cfg file fialed", section, text.key);
            return 0;
        }
        text.member = value;
        WriteLog("Info:The value of config(Section:%s; Key:%s) is %s.", section, text.key, value.c_str());
    }
    return 1;
}
