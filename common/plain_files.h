// The file primitives that write no log line, so that the log itself can use them.
#pragma once

#include "text.h"

#include <windows.h>

// Deletes a file, clearing its read-only attribute first. True when the file was deleted.
bool ForceDeleteFile(const char* path);

// The Windows folder as GetWindowsDirectoryA gives it ("C:\WINDOWS", no trailing backslash). False when it
// cannot be had or does not fit.
bool GetWindowsFolder(char (&path)[kPathRoom]);
