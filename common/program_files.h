// The native Program Files folder and registry view. A 32-bit program on 64-bit Windows is given
// "Program Files (x86)" for %ProgramFiles% and the Wow6432Node branch of HKLM\SOFTWARE; the companion
// applications belong in the native folder, where their 64-bit Windows lists them, so both their setup and
// the plug-in that looks for them resolve %ProgramFiles% to the native folder.
#pragma once

#include "text.h"

#include <windows.h>

#include <string>

// Whether this is a 32-bit program on 64-bit Windows (false where Windows cannot say: Windows 2000, XP
// before SP2, which run no 32-bit program under a 64-bit Windows).
bool RunsUnderWow64();

// KEY_WOW64_64KEY for a 32-bit program on 64-bit Windows, 0 elsewhere: Windows 2000 knows no such flag.
REGSAM NativeRegistryView();

// Which folder is the native Program Files: the program's own %ProgramFiles% unless it runs under WOW64;
// there ProgramW6432 (Windows 7 and later), else Windows' ProgramFilesDir of the native registry view
// (64-bit XP and Vista lack ProgramW6432). Empty inputs count as missing; null when none is known.
const char* ChooseNativeProgramFiles(bool wow64, const char* programW6432, const char* nativeRegistry,
                                     const char* ownView);

// The native Program Files folder, without a trailing backslash; false (logged) when it cannot be had.
bool GetNativeProgramFiles(char (&path)[kPathRoom]);

// text with every %ProgramFiles% (any case) replaced by native; %ProgramFiles(x86)% and the other
// variables are left for ExpandEnvironmentStrings.
std::string ReplaceProgramFilesVariable(const std::string& text, const std::string& native);

// A configured path with %ProgramFiles% as the native folder and the other variables expanded; false
// (logged with what) when a folder is missing or the result does not fit.
bool ExpandNativePath(const char* configured, char (&path)[kPathRoom], const char* what);
