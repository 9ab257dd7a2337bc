// The launcher's user texts: one section of autorunlanguage.ini per language, every key required.
#include "palvio_dlg.h"

#include "common/files.h"
#include "common/profile.h"

namespace {

constexpr WORD kDefaultLanguage = 0x0809;

} // namespace

int CPalvioDlg::LoadTexts(WORD languageId, bool withCdPrompt) {
    char section[32];
    FormatBounded(section, sizeof section, "Section_LID0x%04x", languageId);
    std::string file = GetModuleDir() + "autorunlanguage.ini";
    if (!ReadCfgTexts(section,
                      {{"Key_Button1", m_strButton1},
                       {"Key_Button2", m_strButton2},
                       {"Key_Button3", m_strButton3},
                       {"Key_Button4", m_strButton4},
                       {"Key_DriverUpdateNotation", m_strDriverUpdateNotation},
                       {"Key_DriverUpdateNotationTitle", m_strDriverUpdateNotationTitle},
                       {"ProgramName", m_strProgramName},
                       {"Key_AdminPromptMsg", m_strAdminPromptMsg}},
                      file.c_str()))
        return 0;
    if (!withCdPrompt)
        return 1;
    return ReadCfgTexts(section, {{"Key_please_install_cd", m_strPleaseInstallCd}}, file.c_str());
}

int CPalvioDlg::LoadLanguageText() {
    // Only the lite Palvio button asks the user to install from the CD.
    return LoadTexts(GetSystemDefaultLangID(), m_strUsePalvioLite == "yes");
}

int CPalvioDlg::LoadDefaultLanguageText() {
    return LoadTexts(kDefaultLanguage, false);
}
