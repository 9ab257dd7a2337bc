// The package folder's name, as the launcher's configuration gives it and as the installer takes it from its
// own folder. The name is joined to the temp folder and the staging there removes, moves and writes files,
// so it must name one folder inside the temp folder and nothing else: not the temp folder itself, not one
// above it, not a device, not a stream.
#pragma once

#include <string>

// The longest package folder name taken: with a temp folder of usual depth, an edition folder and a file
// name, the staged paths still fit their room.
constexpr size_t kLongestPackageFolderName = 64;

// True for one plain folder name: not empty, not "." or "..", none of \ / : * ? " < > | or a control
// character, not ending in a dot or a blank (Windows drops those, so the name would mean another folder),
// not a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$; also with an extension, in any
// case), and at most kLongestPackageFolderName characters.
bool IsPlainFolderName(const std::string& name);

// True for a file name that a profile gives for a file the programs find, start, end or delete in a folder
// of their own choosing (the driver folder, the INF store, the package): one plain name by the rule above,
// so that it names a file in that folder and nowhere else, ending in extension (".sys", ".inf", ".exe",
// ".dll"; in any letter case, as Windows finds the file) with something before it.
bool IsPlainFileName(const std::string& name, const char* extension);
