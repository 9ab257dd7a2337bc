// The install status file QvInstallDriveCfg.ini in the temp folder: the installer marks there, with 0, that
// it has switched the device and seen its CD-ROM come back; the launcher that this return starts finds the
// mark, resets it to 1 and ends instead of starting anything a second time. The installer also records
// there how each of its runs ended.
#pragma once

#include "text.h"

#include <string>

// {Temp}QvInstallDriveCfg.ini. False (logged) when the temp folder is unknown or the path does not fit.
bool GetInstallStatusPath(char (&path)[kPathRoom]);

// The status value; 1 (no mark) when the file, its value or the temp folder is missing.
int ReadInstallStatus();
// Writes the status value. 1 written, 0 not (logged; also when the file is refused, see below).
int WriteInstallStatus(int status);
// Writes how a run of the installer ended to the section [result]: code, step and the local time
// ("2026-12-09 17:05:42"); the status value is left as it is. 1 written, 0 not (logged).
int WriteRunResult(int code, const char* step);

// The file lies in the user's temp folder, where any program of the user can put a link or a second name of
// another file in its place, and the installer that writes it runs elevated. It is therefore opened without
// following a link, refused (logged) when it is not its own (checked_file.h), and changed through that same
// handle: read whole, the values set in memory, written back and cut to its new length. Reading it with the
// profile functions stays as it is.

// The largest status file that is read and changed; a larger one is not this program's and is refused.
constexpr size_t kStatusFileRoom = 64 * 1024;

// The pure part: INI text with key set to value in section, the way Windows' profile functions write it
// (sections and keys compared without regard to case and blanks around them; the first of each counts). A
// present key's line is replaced; a new key follows the last line of its section that is not blank; a new
// section goes at the end. Every other line stays as it was; new lines end in CR LF. False for text the
// profile functions would read as UTF-16 (it starts with a UTF-16 byte-order mark), which 8-bit text
// cannot be set into.
bool SetProfileValue(std::string& text, const char* section, const char* key, const char* value);
