// The folder the installer takes its package from: drvcfg.ini, DrvLang.ini, Res, the edition folders and the
// tools. It is the installer's own folder, unless that is one that other programs can change: then the
// installer's own copy of the package, made from the device's CD-ROM, takes its place.
#pragma once

#include <string>

// With its trailing backslash; the program's own folder until UseInstallerPackageDir.
const std::string& InstallerPackageDir();
void UseInstallerPackageDir(std::string folder);
