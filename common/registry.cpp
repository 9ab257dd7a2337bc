#include "registry.h"

#include "handles.h"
#include "log.h"

#include <cstdlib>
#include <cstring>

namespace {

// The registry functions answer their error code rather than setting the thread's last error.
bool OpenForReading(const char* key, ScopedRegKey& handle) {
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, handle.Receive());
    if (status != ERROR_SUCCESS) {
        WriteLog("Open Key Error:%d", static_cast<int>(status));
        return false;
    }
    return true;
}

} // namespace

int GetRegKeyValue(const char* key, const char* valueName, void* buffer, DWORD* size) {
    ScopedRegKey handle;
    if (!OpenForReading(key, handle))
        return 0;
    LONG status =
        RegQueryValueExA(handle.Get(), valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), size);
    if (status != ERROR_SUCCESS) {
        WriteLog("Get Value Error:%d", static_cast<int>(status));
        return 0;
    }
    return 1;
}

int GetRegKeyValueAlloc(const char* key, const char* valueName, unsigned char** buffer, DWORD* size) {
    ScopedRegKey handle;
    if (!OpenForReading(key, handle))
        return 0;
    DWORD length = 0;
    LONG status = RegQueryValueExA(handle.Get(), valueName, nullptr, nullptr, nullptr, &length);
    if (status != ERROR_SUCCESS) {
        WriteLog("Get Value Length Error:%d", static_cast<int>(status));
        return 0;
    }
    *buffer = static_cast<unsigned char*>(malloc(static_cast<size_t>(length) + 2));
    if (!*buffer) {
        WriteLog("Malloc space Error:%d", static_cast<int>(GetLastError()));
        return 0;
    }
    // A value that grew since its length was asked is refused by the registry (ERROR_MORE_DATA).
    status = RegQueryValueExA(handle.Get(), valueName, nullptr, nullptr, *buffer, &length);
    if (status != ERROR_SUCCESS) {
        WriteLog("Get Value Error:%d", static_cast<int>(status));
        return 0;
    }
    memset(*buffer + length, 0, 2);
    *size = length;
    return 1;
}
