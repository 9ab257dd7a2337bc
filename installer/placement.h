// Placement of the package's driver files for the running Windows edition: every .inf of the edition folder
// registered as an OEM .inf, every .dll copied into {WinDir}\system32, every .sys into
// {WinDir}\system32\drivers, in that order. Nothing is rolled back when a later step fails.
#pragma once

#include "common/text.h"

#include <windows.h>
#include <setupapi.h>

#include <initializer_list>

// Results of the placement operations.
constexpr int kResultNoDriverFolder = 20004;
// (20005, a placement step failed, is kResultWriteFailed of resident.h.)

// {ModuleDir} and the edition folder of g_nEdition into folder (cleared first). 0 the folder exists;
// kResultNoDriverFolder for an unknown edition or a missing folder.
int GetDriverSrcDir(char (&folder)[kPathRoom]);
// Resident setting on, then CopyInfFile, CopyDllFile and CopySysFile, stopping at the first failure.
// 0, kResultWriteFailed, or -1 when the resident setting cannot be written.
int InstallDriverFiles(const char* folder);
// Registers every *.inf of the folder (extension exactly ".inf"). 0, or kResultWriteFailed when the folder
// holds none, an INF already in the store cannot be replaced, or Windows refused an INF; the last is found
// after every INF was tried, and the run's step then names the first INF refused.
int CopyInfFile(const char* folder);
// Copies every *.dll (exactly ".dll") into {WinDir}\system32, replacing read-only files. 0 (also for
// none), or kResultWriteFailed at the first copy that fails, which leaves the file it was to replace as it
// was.
int CopyDllFile(const char* folder);
// Copies every *.sys (exactly ".sys") into {WinDir}\system32\drivers. 0, or kResultWriteFailed when a copy
// fails or there is none, unless each of the profile's driver files comes from elsewhere (DriverSource:
// Windows' own, a co-installer, or a subfolder where the folder's INFs put it); one line names each that
// comes from nowhere.
int CopySysFile(const char* folder);
// CopyDllFile and CopySysFile leave a file of Windows' own (windows_own_files.h) in place, with a line: the
// package's copy of it is passed over, not counted a failure.

// The seam of CopyInfFile: SetupCopyOEMInfA, or a stand-in that answers as Windows can (Wine never refuses
// an INF that is already in the store).
using OemInfCopier = BOOL(WINAPI*)(PCSTR source, PCSTR mediaLocation, DWORD mediaType, DWORD copyStyle,
                                   PSTR destination, DWORD destinationRoom, PDWORD required, PSTR* component);
int CopyInfFileWith(const char* folder, OemInfCopier copier);

// The pure parts.
// What a refusal of SetupCopyOEMInf means for the package, in words for the log.
const char* InfRefusalMeaning(DWORD error);
// Where one of the profile's driver files comes from when the edition folder holds none: Windows' own file,
// a co-installer that an INF of the folder installs beside naming the file (WinUSB's, on Windows XP), or a
// subfolder of the package where an INF's source-disk sections put it for this Windows' architecture.
enum class DriverSource { kNowhere, kWindowsOwn, kCoInstaller, kPackageSubfolder };
// Whether an edition folder without a driver file of its own serves the device: every driver file of the
// profile comes from somewhere.
bool ServedWithoutDriverFiles(std::initializer_list<DriverSource> drivers);
// Whether a file name's extension (PathFindExtensionA) ends with extension, compared case-sensitively.
bool HasExactExtension(const char* fileName, const char* extension);
