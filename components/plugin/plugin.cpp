// PalvioPlugin.dll: the reference product plug-in library. Its answers and actions come from the .ini
// beside it (the library's path with ".dll" replaced by ".ini"; the format is in application.h).
#include "application.h"

#include "common/log.h"
#include "common/plugin_api.h"
#include "common/text.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Set by InitialDllPara; until then every other entry point answers 0.
std::string g_ini;
std::string g_folder;

// The .ini of a library path: its ".dll" replaced by ".ini" (or ".ini" added when it has no ".dll").
std::string IniPathOf(const std::string& library) {
    size_t dot = library.size() >= 4 ? library.size() - 4 : std::string::npos;
    if (dot != std::string::npos && _stricmp(library.c_str() + dot, ".dll") == 0)
        return library.substr(0, dot) + ".ini";
    return library + ".ini";
}

bool IniHasSection(const std::string& ini, const char* section) {
    char keys[64];
    return GetPrivateProfileSectionA(section, keys, sizeof keys, ini.c_str()) > 0;
}

int Answer(const char* section, int (CompanionApplication::*question)() const, const char* entry) {
    if (g_ini.empty()) {
        WriteLog("ERR: PalvioPlugin: %s called before InitialDllPara", entry);
        return 0;
    }
    return (CompanionApplication(g_ini, g_folder, section).*question)();
}

} // namespace

extern "C" {

int InitialDllPara(const char* libraryPath) {
    if (!libraryPath || !*libraryPath || strlen(libraryPath) >= kPathRoom)
        return 0;
    g_strModuleName = ProgramNameFromPath(libraryPath);
    std::string ini = IniPathOf(libraryPath);
    if (!IniHasSection(ini, "Palvio") && !IniHasSection(ini, "Dial")) {
        WriteLog("ERR: PalvioPlugin: %s is missing or describes no application", ini.c_str());
        return 0;
    }
    g_ini = ini;
    const char* slash = strrchr(libraryPath, '\\');
    g_folder = slash ? std::string(libraryPath, slash + 1) : std::string();
    WriteLog("INF: PalvioPlugin: configured by %s", g_ini.c_str());
    return 1;
}

int PalvioIsEnable() {
    return Answer("Palvio", &CompanionApplication::IsEnabled, "PalvioIsEnable");
}
int CheckPalvioPrgInstall() {
    return Answer("Palvio", &CompanionApplication::IsInstalled, "CheckPalvioPrgInstall");
}
int CheckPalvioIsRunning() {
    return Answer("Palvio", &CompanionApplication::IsRunning, "CheckPalvioIsRunning");
}
int InstallPalvio() {
    return Answer("Palvio", &CompanionApplication::Install, "InstallPalvio");
}
int UpdatePalvio() {
    return Answer("Palvio", &CompanionApplication::Update, "UpdatePalvio");
}
int RunPalvio() {
    return Answer("Palvio", &CompanionApplication::Run, "RunPalvio");
}

int DialIsEnable() {
    return Answer("Dial", &CompanionApplication::IsEnabled, "DialIsEnable");
}
int CheckDialPrgInstall() {
    return Answer("Dial", &CompanionApplication::IsInstalled, "CheckDialPrgInstall");
}
int CheckDialIsRunning() {
    return Answer("Dial", &CompanionApplication::IsRunning, "CheckDialIsRunning");
}
int InstallDialPrg() {
    return Answer("Dial", &CompanionApplication::Install, "InstallDialPrg");
}
int UpdateDial() {
    return Answer("Dial", &CompanionApplication::Update, "UpdateDial");
}
int RunDial() {
    return Answer("Dial", &CompanionApplication::Run, "RunDial");
}

} // extern "C"
