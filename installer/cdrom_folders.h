// The device's virtual CD-ROM among the drives, and the Explorer windows that show it.
#pragma once

#include "cdrom_records.h"

#include <windows.h>

#include <string>
#include <vector>

// Counts the drives of the list ("E:") whose mounted-device record holds the device's sign (either case)
// and gives the last of them. 1; 0 only when memory for a conversion could not be had (count not stored).
int MatchDeviceCdromDrives(const std::vector<std::string>& drives, std::string sign, std::string& drive,
                           int& count);

// How long the whole search of the folder windows may take: a program whose windows do not answer must not
// hold up the install for long.
constexpr DWORD kFolderSearchLimit = 10000;

// Posts WM_CLOSE to every Explorer folder window whose address shows the drive ("E:"). On Windows 8 and later
// the shell's list of folder windows names them; where it cannot be read, and on earlier Windows, their
// address controls are read, each within what is left of kFolderSearchLimit. The search ends early when
// stop (an event; may be null) is set, or when the limit has passed (logged): the windows not yet looked at
// stay open. 1.
int CloseCdromFolders(const char* drive, HANDLE stop = nullptr);

// How long one address control may take to answer, with `elapsed` of the search's limit gone: five seconds
// at most, and never past the limit; 0 when nothing is left.
DWORD AddressAnswerLimit(DWORD elapsed);

// The class of an Explorer window's address control on an edition: "Edit" on Windows 2000 and XP,
// "ToolbarWindow32" on later Windows.
const char* AddressClassForEdition(int edition);
