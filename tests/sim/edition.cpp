// The Windows edition as programs read it from the registry.
#include "simpc.h"

#include <cstring>

namespace sim {

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// On 64-bit Windows a 32-bit program's HKLM\SOFTWARE is Wow6432Node, which holds its own copy of this key;
// both views get the values. On 32-bit Windows the two flags name the one and only view.
const REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

Result SetInView(REGSAM view, const char* currentVersion, const char* buildLabEx) {
    const char* viewName = view == KEY_WOW64_64KEY ? "64-bit" : "32-bit";
    ScopedRegKey key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, nullptr, 0, KEY_SET_VALUE | view,
                                  nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
        return Result::Fail("cannot open HKLM\\%s (%s view): %s", kVersionKey, viewName,
                            DescribeError(status).c_str());
    status =
        RegSetValueExA(key.Get(), "CurrentVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(currentVersion),
                       static_cast<DWORD>(strlen(currentVersion) + 1));
    if (status != ERROR_SUCCESS)
        return Result::Fail("cannot write CurrentVersion (%s view): %s", viewName,
                            DescribeError(status).c_str());
    if (buildLabEx) {
        status = RegSetValueExA(key.Get(), "BuildLabEx", 0, REG_SZ, reinterpret_cast<const BYTE*>(buildLabEx),
                                static_cast<DWORD>(strlen(buildLabEx) + 1));
    } else {
        status = RegDeleteValueA(key.Get(), "BuildLabEx");
        if (status == ERROR_FILE_NOT_FOUND)
            status = ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS)
        return Result::Fail("cannot %s BuildLabEx (%s view): %s", buildLabEx ? "write" : "delete", viewName,
                            DescribeError(status).c_str());
    return Result();
}

bool ReadString(HKEY key, const char* name, std::string* value) {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    *value = data;
    return true;
}

} // namespace

Result SetEdition(const char* currentVersion, const char* buildLabEx) {
    if (!currentVersion || !*currentVersion)
        return Result::Fail("the CurrentVersion value is empty");
    for (REGSAM view : kViews) {
        Result result = SetInView(view, currentVersion, buildLabEx);
        if (!result)
            return result;
    }
    return Result();
}

EditionValues ReadEdition() {
    EditionValues values;
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return values;
    values.hasCurrentVersion = ReadString(key.Get(), "CurrentVersion", &values.currentVersion);
    values.hasBuildLabEx = ReadString(key.Get(), "BuildLabEx", &values.buildLabEx);
    return values;
}

} // namespace sim
