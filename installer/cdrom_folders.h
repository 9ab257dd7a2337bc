// The device's virtual CD-ROM among the drives, and the Explorer windows that show it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Counts the drives of the list ("E:") whose mounted-device record holds the device's sign (either case)
// and gives the last of them. 1; 0 only when memory for a conversion could not be had (count not stored).
int MatchDeviceCdromDrives(const std::vector<std::string>& drives, std::string sign, std::string& drive,
                           int& count);

// Posts WM_CLOSE to every Explorer folder window whose address shows the drive ("E:"). 1.
int CloseCdromFolders(const char* drive);

// The pieces of the two operations that need no system call.
enum class RecordMatch { kNo, kYes, kNoMemory };
// Whether a mounted-device record (UTF-16 text of `size` bytes) contains the lowered sign, either case.
RecordMatch RecordHoldsSign(const unsigned char* data, DWORD size, const std::string& loweredSign);
// The class of an Explorer window's address control on an edition: "Edit" on Windows 2000 and XP,
// "ToolbarWindow32" on later Windows.
const char* AddressClassForEdition(int edition);
// Whether a child window of a folder window is the edition's address control and shows the drive.
bool AddressShowsDrive(const char* className, const char* text, const char* addressClass, const char* drive);
// The ASCII letters of a text lowered; other bytes (those of double-byte characters too) are kept.
std::string LowerAscii(std::string text);

// Records longer than this are not device paths: refused rather than converted.
constexpr DWORD kLongestMountedRecord = 64 * 1024;
