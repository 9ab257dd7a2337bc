#include "application.h"

#include "common/handles.h"
#include "common/log.h"
#include "common/processes.h"
#include "common/program_files.h"
#include "common/text.h"

#include <windows.h>
#include <shellapi.h>

namespace {

bool IsRelative(const std::string& path) {
    return !(path.size() >= 2 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\')));
}

HKEY RootKey(const std::string& name) {
    if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (name == "HKCU" || name == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    return nullptr;
}

} // namespace

bool SplitRegistryValuePath(const std::string& text, std::string& root, std::string& key,
                            std::string& value) {
    size_t first = text.find('\\');
    size_t last = text.rfind('\\');
    if (first == std::string::npos || last == first || last + 1 >= text.size())
        return false;
    root = text.substr(0, first);
    key = text.substr(first + 1, last - first - 1);
    value = text.substr(last + 1);
    return RootKey(root) != nullptr && !key.empty();
}

std::string CompanionApplication::Value(const char* key) const {
    char value[kPathRoom] = {};
    GetPrivateProfileStringA(m_section, key, "", value, sizeof value, m_ini.c_str());
    return value;
}

std::string CompanionApplication::PathOf(const char* key) const {
    std::string configured = Value(key);
    if (configured.empty())
        return std::string();
    char what[64];
    FormatBounded(what, sizeof what, "PalvioPlugin: [%s] %s", m_section, key);
    char expanded[kPathRoom] = {};
    if (!ExpandNativePath(configured.c_str(), expanded, what))
        return std::string();
    std::string path = IsRelative(expanded) ? m_folder + expanded : std::string(expanded);
    if (path.size() >= kPathRoom) {
        WriteLog("ERR: PalvioPlugin: [%s] %s does not fit a path", m_section, key);
        return std::string();
    }
    return path;
}

int CompanionApplication::IsEnabled() const {
    return Value("Enabled") == "yes" ? 1 : 0;
}

int CompanionApplication::IsInstalled() const {
    std::string file = PathOf("InstalledFile");
    if (!file.empty()) {
        DWORD attributes = GetFileAttributesA(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return 1;
    }
    std::string root, key, value;
    if (SplitRegistryValuePath(Value("InstalledValue"), root, key, value)) {
        ScopedRegKey handle;
        if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_READ, handle.Receive()) == ERROR_SUCCESS &&
            RegQueryValueExA(handle.Get(), value.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                ERROR_SUCCESS)
            return 1;
    }
    return 0;
}

int CompanionApplication::IsRunning() const {
    std::string process = Value("Process");
    return !process.empty() && FindProcessByName(process.c_str()) != 0 ? 1 : 0;
}

bool CompanionApplication::RunAndWait(const char* key) const {
    std::string program = PathOf(key);
    if (program.empty()) {
        WriteLog("ERR: PalvioPlugin: [%s] names no %s program", m_section, key);
        return false;
    }
    std::string parametersKey = std::string(key) + "Parameters";
    std::string parameters = Value(parametersKey.c_str());
    return RunClientSetup(program.c_str(), parameters.c_str()) != 0;
}

int CompanionApplication::Install() const {
    if (!RunAndWait("Setup"))
        return 0;
    int installed = IsInstalled();
    WriteLog("INF: PalvioPlugin: [%s] setup ended, installed: %d", m_section, installed);
    return installed;
}

int CompanionApplication::Update() const {
    if (Value("Update").empty())
        return 1; // nothing to update with: what is installed is current
    if (!RunAndWait("Update"))
        return 0;
    return IsInstalled();
}

int CompanionApplication::Run() const {
    std::string program = PathOf("Program");
    if (program.empty()) {
        WriteLog("ERR: PalvioPlugin: [%s] names no Program", m_section);
        return 0;
    }
    std::string parameters = Value("ProgramParameters");
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        WriteLog("ERR: PalvioPlugin: start of %s failed, code %d", program.c_str(), static_cast<int>(result));
        return 0;
    }
    WriteLog("INF: PalvioPlugin: started %s", program.c_str());
    return 1;
}
