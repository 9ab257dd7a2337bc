#include "program_files.h"

#include "handles.h"
#include "log.h"
#include "newer_api.h"

#include <cstring>

bool RunsUnderWow64() {
    const NewerApi& api = GetNewerApi();
    BOOL wow64 = FALSE;
    return api.IsWow64Process && api.IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

REGSAM NativeRegistryView() {
    return RunsUnderWow64() ? KEY_WOW64_64KEY : 0;
}

const char* ChooseNativeProgramFiles(bool wow64, const char* programW6432, const char* nativeRegistry,
                                     const char* ownView) {
    auto given = [](const char* text) { return text && *text; };
    if (!wow64)
        return given(ownView) ? ownView : given(nativeRegistry) ? nativeRegistry : nullptr;
    if (given(programW6432))
        return programW6432;
    return given(nativeRegistry) ? nativeRegistry : nullptr;
}

namespace {

void ReadEnvironment(const char* name, char (&value)[kPathRoom]) {
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value)
        value[0] = '\0';
}

void ReadNativeProgramFilesDir(char (&value)[kPathRoom]) {
    value[0] = '\0';
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | NativeRegistryView(), key.Receive()) != ERROR_SUCCESS)
        return;
    DWORD type = 0, size = sizeof value - 1;
    if (RegQueryValueExA(key.Get(), "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        size = 0;
    value[size] = '\0';
}

} // namespace

bool GetNativeProgramFiles(char (&path)[kPathRoom]) {
    char w6432[kPathRoom], registry[kPathRoom], own[kPathRoom];
    ReadEnvironment("ProgramW6432", w6432);
    ReadEnvironment("ProgramFiles", own);
    ReadNativeProgramFilesDir(registry);
    const char* chosen = ChooseNativeProgramFiles(RunsUnderWow64(), w6432, registry, own);
    if (!chosen || !CopyBounded(path, sizeof path, chosen)) {
        WriteLog("ERR: the native Program Files folder is not known");
        return false;
    }
    size_t length = strlen(path);
    if (length > 3 && path[length - 1] == '\\') // "C:\" keeps its backslash
        path[length - 1] = '\0';
    return true;
}

std::string ReplaceProgramFilesVariable(const std::string& text, const std::string& native) {
    static const char kVariable[] = "%ProgramFiles%";
    const size_t length = sizeof kVariable - 1;
    std::string result;
    size_t at = 0;
    while (at < text.size()) {
        if (text.size() - at >= length && _strnicmp(text.c_str() + at, kVariable, length) == 0) {
            result += native;
            at += length;
        } else {
            result += text[at++];
        }
    }
    return result;
}

bool ExpandNativePath(const char* configured, char (&path)[kPathRoom], const char* what) {
    std::string text = configured;
    if (ReplaceProgramFilesVariable(text, "") != text) { // the native folder only asked for when named
        char native[kPathRoom];
        if (!GetNativeProgramFiles(native))
            return false;
        text = ReplaceProgramFilesVariable(text, native);
    }
    DWORD length = ExpandEnvironmentStringsA(text.c_str(), path, sizeof path);
    if (length == 0 || length > sizeof path) {
        path[0] = '\0';
        WriteLog("ERR: %s does not fit a path", what);
        return false;
    }
    return true;
}
