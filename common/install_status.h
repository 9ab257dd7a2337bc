// The install status file QvInstallDriveCfg.ini in the temp folder: the installer marks there, with 0, that
// it has switched the device and seen its CD-ROM come back; the launcher that this return starts finds the
// mark, resets it to 1 and ends instead of starting anything a second time.
#pragma once

#include "text.h"

// {Temp}QvInstallDriveCfg.ini. False (logged) when the temp folder is unknown or the path does not fit.
bool GetInstallStatusPath(char (&path)[kPathRoom]);

// The status value; 1 (no mark) when the file, its value or the temp folder is missing.
int ReadInstallStatus();
// Writes the status value. 1 written, 0 not.
int WriteInstallStatus(int status);
