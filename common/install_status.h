// The install status file QvInstallDriveCfg.ini in the temp folder: the installer marks there, with 0, that
// it has switched the device and seen its CD-ROM come back; the launcher that this return starts finds the
// mark, resets it to 1 and ends instead of starting anything a second time. The installer also records
// there how each of its runs ended.
#pragma once

#include "text.h"

// {Temp}QvInstallDriveCfg.ini. False (logged) when the temp folder is unknown or the path does not fit.
bool GetInstallStatusPath(char (&path)[kPathRoom]);

// The status value; 1 (no mark) when the file, its value or the temp folder is missing.
int ReadInstallStatus();
// Writes the status value. 1 written, 0 not.
int WriteInstallStatus(int status);
// Writes how a run of the installer ended to the section [result]: code, step and the local time
// ("2026-12-09 17:05:42"); the status value is left as it is. 1 written, 0 not (logged).
int WriteRunResult(int code, const char* step);
