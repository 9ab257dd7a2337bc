// Bootrel.exe: the start-up tool the installer runs after a driver install, with the installer's run mode
// as its one argument. It starts what Bootrel.ini beside it names for that mode:
//
//   [Mode1]
//   Program=Palvio.exe        ; absolute, or relative to Bootrel's folder
//   Parameters=/quiet         ; may be empty
//
// A mode without a section is nothing to do. Exit status: 0 started or nothing to do, 1 the program could
// not be started, 2 the command line or the configuration is unusable.
#include "common/files.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/text.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum ExitCode { kStarted = 0, kStartFailed = 1, kUnusable = 2 };

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
    return (path.size() >= 2 && path[1] == ':') || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    InitLogFile();
    int mode = 0;
    if (!ParseRunMode(commandLine, &mode)) {
        WriteLog("ERR: Bootrel: run mode <%s> is not a number", commandLine);
        return kUnusable;
    }
    std::string folder = GetModuleDir();
    std::string ini = folder + "Bootrel.ini";
    char section[32];
    FormatBounded(section, sizeof section, "Mode%d", mode);
    char sectionText[1024];
    if (GetPrivateProfileSectionA(section, sectionText, sizeof sectionText, ini.c_str()) == 0) {
        WriteLog("INF: Bootrel: nothing to start for run mode %d", mode);
        return kStarted;
    }
    std::string program, parameters;
    if (!ReadCfgValue(section, "Program", 0, program, ini.c_str()) ||
        !ReadCfgValue(section, "Parameters", 1, parameters, ini.c_str())) {
        WriteLog("ERR: Bootrel: section [%s] of %s is incomplete", section, ini.c_str());
        return kUnusable;
    }
    if (!IsAbsolutePath(program))
        program = folder + program;
    if (program.size() >= kPathRoom || parameters.size() >= kPathRoom) {
        WriteLog("ERR: Bootrel: program or parameters of [%s] too long", section);
        return kUnusable;
    }
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(), folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) {
        WriteLog("ERR: Bootrel: start of %s %s failed, code %d", program.c_str(), parameters.c_str(),
                 static_cast<int>(result));
        return kStartFailed;
    }
    WriteLog("INF: Bootrel: started %s %s for run mode %d", program.c_str(), parameters.c_str(), mode);
    return kStarted;
}
