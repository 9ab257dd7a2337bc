// The Windows edition as programs read it from the registry.
#include "simpc.h"

#include <cstring>

namespace sim {

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// On 64-bit Windows a 32-bit program's HKLM\SOFTWARE is Wow6432Node, which holds its own copy of this key;
// both views get the values. On 32-bit Windows the two flags name the one and only view.
const REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// Writes a value, or deletes it for null data (a value that is not there is no failure).
LONG SetOrDelete(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    if (data)
        return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    LONG status = RegDeleteValueA(key, name);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

Result SetInView(REGSAM view, const char* currentVersion, const char* buildLabEx,
                 const NewerVersionValues& newer) {
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
    const DWORD minor = 0;
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
    } values[] = {
        {"BuildLabEx", REG_SZ, buildLabEx, buildLabEx ? static_cast<DWORD>(strlen(buildLabEx) + 1) : 0},
        {"CurrentMajorVersionNumber", REG_DWORD, newer.majorNumber ? &newer.majorNumber : nullptr,
         sizeof(DWORD)},
        {"CurrentMinorVersionNumber", REG_DWORD, newer.majorNumber ? &minor : nullptr, sizeof(DWORD)},
    };
    for (const auto& value : values) {
        status = SetOrDelete(key.Get(), value.name, value.type, value.data, value.size);
        if (status != ERROR_SUCCESS)
            return Result::Fail("cannot %s %s (%s view): %s", value.data ? "write" : "delete", value.name,
                                viewName, DescribeError(status).c_str());
    }
    if (newer.buildNumber) {
        status = SetOrDelete(key.Get(), "CurrentBuildNumber", REG_SZ, newer.buildNumber,
                             static_cast<DWORD>(strlen(newer.buildNumber) + 1));
        if (status != ERROR_SUCCESS)
            return Result::Fail("cannot write CurrentBuildNumber (%s view): %s", viewName,
                                DescribeError(status).c_str());
    }
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

Result SetEdition(const char* currentVersion, const char* buildLabEx, const NewerVersionValues& newer) {
    if (!currentVersion || !*currentVersion)
        return Result::Fail("the CurrentVersion value is empty");
    for (REGSAM view : kViews) {
        Result result = SetInView(view, currentVersion, buildLabEx, newer);
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
    values.hasBuildNumber = ReadString(key.Get(), "CurrentBuildNumber", &values.buildNumber);
    DWORD type = 0, size = sizeof values.majorNumber;
    values.hasMajorNumber =
        RegQueryValueExA(key.Get(), "CurrentMajorVersionNumber", nullptr, &type,
                         reinterpret_cast<BYTE*>(&values.majorNumber), &size) == ERROR_SUCCESS &&
        type == REG_DWORD;
    return values;
}

} // namespace sim
