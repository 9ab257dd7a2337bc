// The launcher's user texts: one section of autorunlanguage.ini per language, and the CD prompt of the lite
// switches.
#include "palvio_dlg.h"

#include "common/files.h"
#include "common/profile.h"

namespace {

constexpr WORD kDefaultLanguage = 0x0809;

std::string SectionOf(WORD languageId) {
    char section[32];
    FormatBounded(section, sizeof section, "Section_LID0x%04x", languageId);
    return section;
}

std::string TextsFile() {
    return GetModuleDir() + "autorunlanguage.ini";
}

} // namespace

int CPalvioDlg::LoadTexts(WORD languageId) {
    return ReadCfgTexts(SectionOf(languageId).c_str(),
                        {{"Key_Button1", m_strButton1},
                         {"Key_Button2", m_strButton2},
                         {"Key_Button3", m_strButton3},
                         {"Key_Button4", m_strButton4},
                         {"Key_DriverUpdateNotation", m_strDriverUpdateNotation},
                         {"Key_DriverUpdateNotationTitle", m_strDriverUpdateNotationTitle},
                         {"ProgramName", m_strProgramName},
                         {"Key_AdminPromptMsg", m_strAdminPromptMsg}},
                        TextsFile().c_str());
}

int CPalvioDlg::LoadCdPrompt(WORD languageId) {
    return ReadCfgTexts(SectionOf(languageId).c_str(), {{"Key_please_install_cd", m_strPleaseInstallCd}},
                        TextsFile().c_str());
}

bool CPalvioDlg::MayShowCdPrompt() const {
    return m_strUsePalvioLite == "yes" || m_strUseDailupLite == "yes" || m_strUseDriverLite == "yes";
}

int CPalvioDlg::LoadLanguageText() {
    WORD languageId = GetSystemDefaultLangID();
    if (!LoadTexts(languageId))
        return 0;
    // A language must give the lite Palvio button its prompt. The other lite switches show the same prompt:
    // it is read for them too, but its absence keeps the language, and the default section's prompt stands
    // in so that their box is not empty.
    if (m_strUsePalvioLite == "yes")
        return LoadCdPrompt(languageId);
    if (MayShowCdPrompt() && !LoadCdPrompt(languageId) && languageId != kDefaultLanguage)
        LoadCdPrompt(kDefaultLanguage);
    return 1;
}

int CPalvioDlg::LoadDefaultLanguageText() {
    if (!LoadTexts(kDefaultLanguage))
        return 0;
    // The default texts stand in for every language without a section: without their CD prompt a lite
    // button would show an empty box. A default section without it still gives the window.
    if (MayShowCdPrompt())
        LoadCdPrompt(kDefaultLanguage);
    return 1;
}
