// Bootrel.exe: the start-up tool the installer runs after a driver install, with the installer's run mode
// as its one argument. It starts what Bootrel.ini beside it names for that mode, either a program:
//
//   [Mode1]
//   Program=Palvio.exe        ; absolute, or relative to Bootrel's folder
//   Parameters=/quiet         ; may be empty
//
// or an entry point of the product plug-in library (staged beside Bootrel with the launcher's files):
//
//   [Mode2]
//   Plugin=PalvioPlugin.dll   ; relative to Bootrel's folder
//   Entry=RunDial             ; one of the library's entry points that take no argument
//
// A mode without a section is nothing to do. Exit status: 0 done or nothing to do, 1 the program could not
// be started or the entry point answered 0, 2 the command line or the configuration is unusable.
#include "common/dll_search.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/plugin_api.h"
#include "common/text.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum ExitCode { kDone = 0, kFailed = 1, kUnusable = 2 };

// The run mode: one to nine decimal digits, blanks around them allowed.
bool ParseRunMode(const char* text, int* mode) {
    text += strspn(text, " \t");
    size_t digits = strspn(text, "0123456789");
    if (digits == 0 || digits > 9 || text[digits + strspn(text + digits, " \t")] != '\0')
        return false;
    *mode = atoi(text);
    return true;
}

bool IsAbsolutePath(const std::string& path) {
    return path.size() >= 2 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
}

class ModeSection {
public:
    ModeSection(std::string ini, int mode) : m_ini(std::move(ini)) {
        FormatBounded(m_name, sizeof m_name, "Mode%d", mode);
    }
    const char* Name() const { return m_name; }
    bool Exists() const {
        char keys[64];
        return GetPrivateProfileSectionA(m_name, keys, sizeof keys, m_ini.c_str()) > 0;
    }
    std::string Value(const char* key) const {
        char value[kPathRoom] = {};
        GetPrivateProfileStringA(m_name, key, "", value, sizeof value, m_ini.c_str());
        return value;
    }

private:
    std::string m_ini;
    char m_name[32];
};

ExitCode StartProgram(const ModeSection& section, const std::string& folder, int mode) {
    std::string program = section.Value("Program");
    std::string parameters = section.Value("Parameters");
    if (!IsAbsolutePath(program))
        program = folder + program;
    if (program.size() >= kPathRoom) {
        WriteLog("ERR: Bootrel: program of [%s] too long", section.Name());
        return kUnusable;
    }
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(), folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) {
        WriteLog("ERR: Bootrel: start of %s %s failed, code %d", program.c_str(), parameters.c_str(),
                 static_cast<int>(result));
        return kFailed;
    }
    WriteLog("INF: Bootrel: started %s %s for run mode %d", program.c_str(), parameters.c_str(), mode);
    return kDone;
}

bool IsQueryEntry(const std::string& entry) {
    for (int i = 1; i < kPluginEntryCount; ++i) { // the first, InitialDllPara, takes the library's path
        if (entry == kPluginEntryNames[i])
            return true;
    }
    return false;
}

ExitCode CallPlugin(const ModeSection& section, const std::string& folder, int mode) {
    std::string library = folder + section.Value("Plugin");
    std::string entry = section.Value("Entry");
    if (!IsQueryEntry(entry) || library.size() >= kPathRoom) {
        WriteLog("ERR: Bootrel: [%s] names no usable plug-in entry point <%s>", section.Name(),
                 entry.c_str());
        return kUnusable;
    }
    ScopedModule module(LoadLibraryA(library.c_str()));
    if (!module) {
        WriteLog("ERR: Bootrel: cannot load %s, error %d", library.c_str(), static_cast<int>(GetLastError()));
        return kFailed;
    }
    auto init = reinterpret_cast<PluginInitFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), kPluginEntryNames[0])));
    auto query = reinterpret_cast<PluginQueryFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module.Get(), entry.c_str())));
    if (!init || !query) {
        WriteLog("ERR: Bootrel: %s lacks InitialDllPara or %s", library.c_str(), entry.c_str());
        return kFailed;
    }
    if (!init(library.c_str())) {
        WriteLog("ERR: Bootrel: InitialDllPara of %s answered 0", library.c_str());
        return kFailed;
    }
    int answer = query();
    WriteLog("INF: Bootrel: %s of %s answered %d for run mode %d", entry.c_str(), library.c_str(), answer,
             mode);
    return answer ? kDone : kFailed;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Run elevated by the installer from the user's temp folder: no library by name from there.
    RestrictDllSearch();
    InitLogFile();
    int mode = 0;
    if (!ParseRunMode(commandLine, &mode)) {
        WriteLog("ERR: Bootrel: run mode <%s> is not a number", commandLine);
        return kUnusable;
    }
    std::string folder = GetModuleDir();
    ModeSection section(folder + "Bootrel.ini", mode);
    if (!section.Exists()) {
        WriteLog("INF: Bootrel: nothing to start for run mode %d", mode);
        return kDone;
    }
    if (!section.Value("Plugin").empty())
        return CallPlugin(section, folder, mode);
    if (!section.Value("Program").empty())
        return StartProgram(section, folder, mode);
    WriteLog("ERR: Bootrel: section [%s] names neither Program nor Plugin", section.Name());
    return kUnusable;
}
