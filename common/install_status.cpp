#include "install_status.h"

#include "files.h"
#include "log.h"

#include <windows.h>

namespace {

const char kStatusSection[] = "drive";
const char kStatusKey[] = "status";
const char kResultSection[] = "result";

bool WriteValue(const char* section, const char* key, const char* value, const char* path) {
    if (WritePrivateProfileStringA(section, key, value, path))
        return true;
    WriteLog("ERR: Write %s %s to %s failed, error %lu", key, value, path, GetLastError());
    return false;
}

} // namespace

bool GetInstallStatusPath(char (&path)[kPathRoom]) {
    char temp[kPathRoom] = {};
    path[0] = '\0';
    if (!GetTempFolder(temp))
        return false;
    if (!FormatBounded(path, kPathRoom, "%s%s", temp, "QvInstallDriveCfg.ini")) {
        WriteLog("ERR: The path of the install status file is longer than %u characters",
                 static_cast<unsigned>(kPathRoom - 1));
        path[0] = '\0';
        return false;
    }
    return true;
}

int ReadInstallStatus() {
    char path[kPathRoom];
    if (!GetInstallStatusPath(path))
        return 1;
    return static_cast<int>(GetPrivateProfileIntA(kStatusSection, kStatusKey, 1, path));
}

int WriteInstallStatus(int status) {
    char path[kPathRoom], value[16];
    if (!GetInstallStatusPath(path))
        return 0;
    FormatBounded(value, sizeof value, "%d", status);
    return WriteValue(kStatusSection, kStatusKey, value, path) ? 1 : 0;
}

int WriteRunResult(int code, const char* step) {
    char path[kPathRoom], value[16], time[32];
    if (!GetInstallStatusPath(path))
        return 0;
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FormatBounded(value, sizeof value, "%d", code);
    FormatBounded(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    bool written = WriteValue(kResultSection, "code", value, path) &&
                   WriteValue(kResultSection, "step", step, path) &&
                   WriteValue(kResultSection, "time", time, path);
    return written ? 1 : 0;
}
