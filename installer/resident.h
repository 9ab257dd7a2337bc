// The drivers' resident setting (QCDriverResident in each of the device's four service keys), the small
// registry writers it rests on, and the Windows version gate of the install and removal roads.
#pragma once

#include <windows.h>

// Result codes of the installer's driver operations.
constexpr int kResultOldWindows = 20003;
constexpr int kResultWriteFailed = 20005;

// QCDriverResident of a service key under HKEY_LOCAL_MACHINE (the key is made when missing); 0 when it
// cannot be read.
DWORD GetResetInfo(const char* key);
// Writes QCDriverResident; 0 or kResultWriteFailed.
int RegResetInfo(const char* key, DWORD value);
// Writes a DWORD value (QCDriverResident when name is null); 0 or kResultWriteFailed.
int RegSetDwordValue(const char* key, DWORD value, const char* name);
// Sets QCDriverResident to n on the four service keys where it differs; 0 or kResultWriteFailed, which
// stops at the key that failed.
int change_resident_register(DWORD n);

// 1 on Windows 2000 and later, 0 on older Windows.
int CheckSystemVersion();
// 0 on Windows 2000 and later, kResultOldWindows before.
int CheckSystemInfo();
// The decision of CheckSystemVersion: Windows 2000 is NT 5.0.
bool IsSupportedMajorVersion(DWORD majorVersion);
