#include "install_status.h"

#include "files.h"
#include "log.h"

#include <windows.h>

namespace {

const char kStatusSection[] = "drive";
const char kStatusKey[] = "status";

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
    if (!WritePrivateProfileStringA(kStatusSection, kStatusKey, value, path)) {
        WriteLog("ERR: Write status %s to %s failed, error %lu", value, path, GetLastError());
        return 0;
    }
    return 1;
}
