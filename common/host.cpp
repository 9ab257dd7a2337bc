#include "host.h"

#include "handles.h"
#include "log.h"
#include "text.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// A string value read whole and zero-terminated (the registry does not promise a terminator).
bool QueryText(HKEY key, const char* name, char (&value)[kPathRoom]) {
    memset(value, 0, sizeof value);
    DWORD size = sizeof value - 1;
    return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
           ERROR_SUCCESS;
}

} // namespace

int EditionFromCurrentVersion(const char* currentVersion, bool newerWindows) {
    if (strlen(currentVersion) < 3)
        return kEditionUnknown;
    char major = currentVersion[0];
    char minor = currentVersion[2];
    if (major == '5' && minor == '0')
        return kEditionWin2000;
    if (major == '5' && minor == '1')
        return kEditionXP;
    if (major == '6' && minor == '0')
        return kEditionVista32;
    if (major == '6' && minor == '1')
        return kEditionWin7_32;
    if (newerWindows && major == '6' && (minor == '2' || minor == '3'))
        return kEditionNewer32;
    return kEditionUnknown;
}

int EditionForBuildLab(int edition, const char* buildLabEx) {
    if (strstr(buildLabEx, "x86"))
        return edition;
    if (edition == kEditionVista32)
        return kEditionVista64;
    if (edition == kEditionWin7_32)
        return kEditionWin7_64;
    if (edition == kEditionNewer32)
        return kEditionNewer64;
    return edition;
}

WindowsFound DecideEdition(const char* currentVersion, DWORD majorNumber, const char* buildNumber,
                           const char* buildLabEx, bool newerWindows) {
    WindowsFound found;
    found.edition = EditionFromCurrentVersion(currentVersion, newerWindows);
    if (found.edition == kEditionNewer32) {
        if (currentVersion[2] == '2')
            found.name = "8";
        else if (majorNumber != 10)
            found.name = "8.1";
        else
            found.name = strtoul(buildNumber, nullptr, 10) >= 22000 ? "11" : "10";
    }
    // Windows 2000 and XP (5.0, 5.1) exist only in 32-bit: their build lab is not looked at.
    if (!EditionIsBeforeVista(found.edition) && buildLabEx)
        found.edition = EditionForBuildLab(found.edition, buildLabEx);
    return found;
}

int GetSystemVersion(int* edition, bool newerWindows) {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
        WriteLog("ERR: Open Key <%s> error.", kVersionKey);
        return 0;
    }
    char version[kPathRoom];
    if (!QueryText(key.Get(), "CurrentVersion", version)) {
        WriteLog("ERR: Get Key <%s>  vaule error.", "CurrentVersion");
        return 0;
    }
    WriteLog("current system version %s", version);

    // Windows 10 and later have these; older ones lack them, which the decision expects.
    DWORD major = 0, type = 0, size = sizeof major;
    if (RegQueryValueExA(key.Get(), "CurrentMajorVersionNumber", nullptr, &type,
                         reinterpret_cast<BYTE*>(&major), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        major = 0;
    char build[kPathRoom];
    if (!QueryText(key.Get(), "CurrentBuildNumber", build))
        build[0] = '\0';
    char buildLab[kPathRoom];
    bool hasBuildLab = QueryText(key.Get(), "BuildLabEx", buildLab);

    WindowsFound found = DecideEdition(version, major, build, hasBuildLab ? buildLab : nullptr, newerWindows);
    if (found.edition == kEditionUnknown) {
        WriteLog("unknow system version %s", version);
        return 0;
    }
    if (found.name)
        WriteLog("current system is Windows %s, build %s", found.name, build);
    *edition = found.edition;
    if (EditionIsBeforeVista(found.edition)) // a build lab tells 32-bit from 64-bit only from Vista on
        return 1;
    if (!hasBuildLab) {
        WriteLog("ERR: Get Key <%s>  vaule error.", "BuildLabEx");
        return 0;
    }
    WriteLog("current  system build lab is %s", buildLab);
    if (EditionIs64Bit(found.edition))
        WriteLog("It is a 64bite OS");
    return 1;
}

std::vector<std::string> DriveNamesOfMask(DWORD mask) {
    std::vector<std::string> names;
    for (int bit = 0; bit < 26; ++bit) {
        if (mask & (1u << bit))
            names.push_back({static_cast<char>('A' + bit), ':'});
    }
    return names;
}

bool MaskHoldsDrive(DWORD mask, char letter) {
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' && (mask & (1u << (letter - 'A')));
}

int ListCdromDrives(std::vector<std::string>& drives) {
    DWORD mask = GetLogicalDrives();
    if (mask == 0)
        return 0;
    for (const std::string& name : DriveNamesOfMask(mask)) {
        if (GetDriveTypeA(name.c_str()) == DRIVE_CDROM)
            drives.push_back(name);
    }
    return 1;
}

int IsDrivePresent(const char* path) {
    return path && MaskHoldsDrive(GetLogicalDrives(), path[0]) ? 1 : 0;
}
