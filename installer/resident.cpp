#include "resident.h"

#include "common/handles.h"
#include "common/log.h"

namespace {

const char kResidentValue[] = "QCDriverResident";

// Opening with create rights makes a missing service key, for reading as for writing.
constexpr REGSAM kResidentAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

bool OpenOrCreate(const char* key, ScopedRegKey& handle) {
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, REG_OPTION_NON_VOLATILE, kResidentAccess,
                           nullptr, handle.Receive(), nullptr) == ERROR_SUCCESS;
}

struct ServiceKey {
    const char* key;
    const char* line;
};

// The fourth key shares the modem's line.
const ServiceKey kServiceKeys[] = {
    {"SYSTEM\\CurrentControlSet\\Services\\qvusbser", "Info: change SER resident info to %d"},
    {"SYSTEM\\CurrentControlSet\\Services\\qvusbapp", "Info: change APP resident info to %d"},
    {"SYSTEM\\CurrentControlSet\\Services\\qvcdcmdm0", "Info: change MDM resident info to %d"},
    {"SYSTEM\\CurrentControlSet\\Services\\qvdatacard", "Info: change MDM resident info to %d"},
};

} // namespace

DWORD GetResetInfo(const char* key) {
    ScopedRegKey handle;
    if (!OpenOrCreate(key, handle)) {
        WriteLog("INFO: GetResetInfo Open Key error.");
        return 0;
    }
    DWORD value = 0, size = sizeof value;
    if (RegQueryValueExA(handle.Get(), kResidentValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        WriteLog("INFO: GetResetInfo RegQueryValueEx error.");
        return 0;
    }
    return value;
}

int RegSetDwordValue(const char* key, DWORD value, const char* name) {
    ScopedRegKey handle;
    if (!OpenOrCreate(key, handle)) {
        WriteLog("INFO: RegResetInfo Open Key error.");
        return kResultWriteFailed;
    }
    if (RegSetValueExA(handle.Get(), name ? name : kResidentValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value) != ERROR_SUCCESS) {
        WriteLog("INFO: RegResetInfo SetValue error.");
        return kResultWriteFailed;
    }
    return 0;
}

int RegResetInfo(const char* key, DWORD value) {
    return RegSetDwordValue(key, value, nullptr);
}

int change_resident_register(DWORD n) {
    for (const ServiceKey& service : kServiceKeys) {
        if (GetResetInfo(service.key) == n)
            continue;
        WriteLog(service.line, static_cast<int>(n));
        int result = RegResetInfo(service.key, n);
        if (result != 0)
            return result;
    }
    WriteLog("Info: change_resident_register() is ok.");
    return 0;
}

bool IsSupportedMajorVersion(DWORD majorVersion) {
    return majorVersion >= 5;
}

int CheckSystemVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    // A failed query leaves the major version at 0, which counts as too old.
    GetVersionExA(&version);
    if (!IsSupportedMajorVersion(version.dwMajorVersion)) {
        WriteLog("ERROR: not windows 2000 or windows xp.");
        return 0;
    }
    WriteLog("Check system version, OK.");
    return 1;
}

int CheckSystemInfo() {
    if (CheckSystemVersion()) {
        WriteLog("Check system info, OK.");
        return 0;
    }
    WriteLog("ERROR: is not win2000 or winxp.");
    return kResultOldWindows;
}
