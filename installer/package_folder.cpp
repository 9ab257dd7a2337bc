#include "package_folder.h"

#include "common/files.h"

namespace {

std::string& PackageDir() {
    static std::string folder = GetModuleDir();
    return folder;
}

} // namespace

const std::string& InstallerPackageDir() {
    return PackageDir();
}

void UseInstallerPackageDir(std::string folder) {
    PackageDir() = std::move(folder);
}
