// What the program runs on: the Windows edition and the drives.
#pragma once

#include "edition.h"

#include <windows.h>

#include <string>
#include <vector>

// Reads the edition from the registry into *edition; 1 when it is one of the codes 1 to 6, else 0 with
// *edition unchanged (or left at the Vista/7 code when the build lab could not be read).
int GetSystemVersion(int* edition);

// The decisions of GetSystemVersion. EditionFromCurrentVersion looks only at the characters before and
// after the dot ("6.1" gives 5) and answers kEditionUnknown for any version it does not support.
int EditionFromCurrentVersion(const char* currentVersion);
// A Vista or 7 code made 64-bit unless the build lab names an x86 build.
int EditionForBuildLab(int edition, const char* buildLabEx);

// Appends the names ("D:") of the CD-ROM drives, in letter order. 0 when no drive could be listed at all.
int ListCdromDrives(std::vector<std::string>& drives);
// 1 when the drive whose letter starts the path (either case) is present, else 0.
int IsDrivePresent(const char* path);

// The names of the drives of a GetLogicalDrives mask, in letter order.
std::vector<std::string> DriveNamesOfMask(DWORD mask);
// Whether a GetLogicalDrives mask holds the drive of a letter, in either case.
bool MaskHoldsDrive(DWORD mask, char letter);
