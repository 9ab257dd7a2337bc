// What the program runs on: the Windows edition and the drives.
#pragma once

#include "edition.h"

#include <windows.h>

#include <string>
#include <vector>

// Reads the edition from the registry into *edition; 1 when it is a known code, else 0 with *edition
// unchanged (or left at the 32-bit code of Vista and later when the build lab could not be read). Windows 8
// and later (CurrentVersion 6.2 and 6.3) are known only with newerWindows: a medium that names no folders
// for them is not served there.
int GetSystemVersion(int* edition, bool newerWindows = false);

// The decisions of GetSystemVersion. EditionFromCurrentVersion looks only at the characters before and
// after the dot ("6.1" gives 5) and answers kEditionUnknown for any version it does not support.
int EditionFromCurrentVersion(const char* currentVersion, bool newerWindows = false);
// A code of Vista or later made 64-bit unless the build lab names an x86 build.
int EditionForBuildLab(int edition, const char* buildLabEx);

// What the probe makes of the values under CurrentVersion: the edition code and, for Windows 8 and later,
// which one it is ("8", "8.1", "10" or "11"; null for older ones and for an unknown code).
struct WindowsFound {
    int edition = kEditionUnknown;
    const char* name = nullptr;
};
// CurrentVersion, CurrentMajorVersionNumber (0 when absent), CurrentBuildNumber ("" when absent),
// BuildLabEx (null when absent: the code stays the 32-bit one) and whether newer Windows are served.
// Windows 8 writes 6.2; 8.1, 10 and 11 write 6.3, 10 and 11 add the major number 10, and 11 is told from
// 10 by its build, 22000 and above.
WindowsFound DecideEdition(const char* currentVersion, DWORD majorNumber, const char* buildNumber,
                           const char* buildLabEx, bool newerWindows);

// Appends the names ("D:") of the CD-ROM drives, in letter order. 0 when no drive could be listed at all.
int ListCdromDrives(std::vector<std::string>& drives);
// 1 when the drive whose letter starts the path (either case) is present, else 0.
int IsDrivePresent(const char* path);

// The names of the drives of a GetLogicalDrives mask, in letter order.
std::vector<std::string> DriveNamesOfMask(DWORD mask);
// Whether a GetLogicalDrives mask holds the drive of a letter, in either case.
bool MaskHoldsDrive(DWORD mask, char letter);
