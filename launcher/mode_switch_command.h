// The command line of the mode-switch tool that the SD and MTP buttons run: portflip.exe in the package
// folder on the medium, told the action and the medium's drive.
#pragma once

#include "common/text.h"

#include <string>

// From the current folder (the medium's root, with or without its trailing backslash) and the package
// folder: the tool's path "<folder>\<driverPath>\portflip.exe", in the folder's own letter case, and the
// parameters "<action> -cdrom:X:" with the path's first two characters, letters upper-cased. False when
// either does not fit its room (nothing is to be run then).
bool ComposeModeSwitchCommand(const char* currentFolder, const std::string& driverPath, const char* action,
                              char (&tool)[kPathRoom], char (&parameters)[kPathRoom]);
