#include "placement.h"

#include "package_folder.h"
#include "resident.h"
#include "run_outcome.h"

#include "common/edition.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/inf_reader.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/windows_own_files.h"

#include <shlwapi.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// The room Windows gets for the name it gives the registered copy (oemNN.inf).
constexpr DWORD kOemNameRoom = 250;

// The messages and the answer to "none found" of one kind of plainly copied file.
struct CopyKind {
    const char* pattern;
    const char* extension;
    const char* targetFolder; // below {WinDir}, with its trailing backslash
    const char* noneFound;
    int resultWhenNone;
    const char* copied;
    const char* failed;
};

// A match of "*.inf" may be a folder; only files are placed.
bool IsFile(const WIN32_FIND_DATAA& found) {
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Puts a copy of source in target's place without a moment in which Windows has neither: the copy is made
// under a fresh name of target's folder and then takes target's place in one step. A copy that fails
// (a source that cannot be read, a full disk) leaves the old file as it was, and the fresh file, the
// suite's own, is removed. A read-only old file loses that attribute only once its successor is ready, and
// keeps it when the replacement fails.
bool PlaceFile(const char* source, const char* target) {
    char folder[kPathRoom], fresh[kPathRoom];
    const char* slash = strrchr(target, '\\');
    if (!slash || static_cast<size_t>(slash - target) >= sizeof folder)
        return false;
    memcpy(folder, target, static_cast<size_t>(slash - target));
    folder[slash - target] = '\0';
    // A name no file has yet, made there as an empty file of the suite's own.
    if (!GetTempFileNameA(folder, "pvn", 0, fresh))
        return false;
    bool placed = false;
    if (CopyFileA(source, fresh, FALSE)) {
        DWORD attributes = GetFileAttributesA(target);
        bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        if (readOnly)
            SetFileAttributesA(target, attributes & ~FILE_ATTRIBUTE_READONLY);
        placed = MoveFileExA(fresh, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        if (!placed && readOnly)
            SetFileAttributesA(target, attributes);
    }
    if (!placed) {
        DWORD error = GetLastError();
        ForceDeleteFile(fresh);
        SetLastError(error);
    }
    return placed;
}

// Copies every file of one kind from folder into its system folder, replacing what is there (read-only
// included). 0, or kResultWriteFailed at the first copy that fails: the files after it are not copied.
int CopyFilesOfKind(const char* folder, const CopyKind& kind) {
    char windows[kPathRoom];
    if (!GetWindowsFolder(windows))
        return kResultWriteFailed;
    std::string pattern = std::string(folder) + kind.pattern;
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) {
        WriteLog("%s", kind.noneFound);
        return kind.resultWhenNone;
    }
    do {
        if (!IsFile(found) || !HasExactExtension(found.cFileName, kind.extension))
            continue;
        std::string source = std::string(folder) + "\\" + found.cFileName;
        std::string target = std::string(windows) + kind.targetFolder + found.cFileName;
        // Windows' own file stays as Windows has it: the package's copy of it is not needed (the INFs that
        // name it install over Windows' file) and is no failure.
        std::string inf;
        WindowsOwn own = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES
                             ? RunWindowsOwnFiles().Ask(target, &inf)
                             : WindowsOwn::kNo;
        if (own != WindowsOwn::kNo) {
            WriteLog("INFO: %s is Windows' own file (%s); the package's copy does not replace it",
                     target.c_str(), DescribeWindowsOwn(own, inf).c_str());
            continue;
        }
        if (!PlaceFile(source.c_str(), target.c_str())) {
            WriteLog("%s", kind.failed);
            return kResultWriteFailed;
        }
        WriteLog("%s", kind.copied);
    } while (FindNextFileA(search.Get(), &found));
    return 0;
}

// Windows' drivers that a co-installer brings where Windows has none of its own: WinUSB's and the user-mode
// driver framework's, on Windows XP.
bool ComesWithCoInstaller(const std::string& lowered) {
    return lowered == "winusb.sys" || lowered == "wudfrd.sys";
}

bool HasCoInstallers(const InfFile& inf) {
    const char kSuffix[] = ".coinstallers";
    for (const InfSection& section : inf.Sections()) {
        std::string name = LowerText(section.name);
        if (name.size() >= sizeof kSuffix - 1 &&
            name.compare(name.size() - (sizeof kSuffix - 1), name.npos, kSuffix) == 0)
            return true;
    }
    return false;
}

// Where one of the profile's driver files comes from when the edition folder holds none of its own.
DriverSource SourceOfProfileDriver(const char* folder, const std::string& name) {
    char windows[kPathRoom];
    std::string inf;
    WindowsOwn own =
        GetWindowsFolder(windows)
            ? RunWindowsOwnFiles().Ask(std::string(windows) + "\\system32\\drivers\\" + name, &inf)
            : WindowsOwn::kNo;
    if (own != WindowsOwn::kNo) {
        WriteLog("INFO: The driver file %s is Windows' own (%s)", name.c_str(),
                 DescribeWindowsOwn(own, inf).c_str());
        return DriverSource::kWindowsOwn;
    }
    const char* architecture = EditionIs64Bit(g_nEdition) ? "amd64" : "x86";
    std::string lowered = LowerText(name);
    WIN32_FIND_DATAA found;
    ScopedFindHandle infs(FindFirstFileA((std::string(folder) + "\\*.inf").c_str(), &found));
    if (!infs)
        return DriverSource::kNowhere;
    std::string content, below;
    do {
        if (!IsFile(found) || !HasExactExtension(found.cFileName, ".inf") ||
            !ReadInfText((std::string(folder) + "\\" + found.cFileName).c_str(), content))
            continue;
        InfFile inf(content);
        // A package that keeps its drivers per architecture: Windows copies them from where the INF's
        // source-disk sections put them when it installs the device.
        if (SourceFolderOf(inf, name, architecture, below) && !below.empty()) {
            DWORD attributes = GetFileAttributesA((std::string(folder) + "\\" + below + "\\" + name).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return DriverSource::kPackageSubfolder;
        }
        if (ComesWithCoInstaller(lowered) && InfNamesFile(inf, lowered) && HasCoInstallers(inf))
            return DriverSource::kCoInstaller;
    } while (FindNextFileA(infs.Get(), &found));
    return DriverSource::kNowhere;
}

} // namespace

const char* InfRefusalMeaning(DWORD error) {
    // SetupAPI's codes that Windows' headers of the oldest toolchains lack.
    const DWORD kDriverStoreAddFailed = 0xE0000247, kFileHashNotInCatalog = 0xE000024B;
    switch (error) {
    case ERROR_INSUFFICIENT_BUFFER:
        return "the catalog file its INF names is missing (Wine answers so)";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "a file that its INF names is missing";
    case ERROR_ACCESS_DENIED:
        return "the account may not add driver packages to Windows";
    case ERROR_NO_CATALOG_FOR_OEM_INF:
        return "its INF names no catalog file, and Windows takes no unsigned package";
    case ERROR_DRIVER_NONNATIVE:
        return "it serves no driver for this Windows' processor";
    case ERROR_AUTHENTICODE_DISALLOWED:
    case ERROR_AUTHENTICODE_PUBLISHER_NOT_TRUSTED:
        return "the user or the administrator does not trust its publisher";
    case ERROR_AUTHENTICODE_TRUST_NOT_ESTABLISHED:
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
        return "its signature leads to no certificate Windows trusts";
    case static_cast<DWORD>(TRUST_E_NOSIGNATURE):
        return "its catalog file carries no signature";
    case static_cast<DWORD>(CERT_E_EXPIRED):
        return "its signature's certificate has expired";
    case static_cast<DWORD>(TRUST_E_BAD_DIGEST):
    case kFileHashNotInCatalog:
        return "its catalog does not hold the hash of a file: the file changed after signing";
    case kDriverStoreAddFailed:
        return "Windows could not add it to the driver store";
    case ERROR_GENERAL_SYNTAX:
    case ERROR_WRONG_INF_STYLE:
    case ERROR_SECTION_NOT_FOUND:
    case ERROR_INVALID_DATA:
        return "Windows cannot read its INF";
    default:
        return "Windows gives no reason the installer knows";
    }
}

bool ServedWithoutDriverFiles(std::initializer_list<DriverSource> drivers) {
    for (DriverSource source : drivers) {
        if (source == DriverSource::kNowhere)
            return false;
    }
    return drivers.size() > 0;
}

bool HasExactExtension(const char* fileName, const char* extension) {
    const char* found = PathFindExtensionA(fileName);
    size_t length = strlen(found), wanted = strlen(extension);
    return length >= wanted && strcmp(found + length - wanted, extension) == 0;
}

int GetDriverSrcDir(char (&folder)[kPathRoom]) {
    memset(folder, 0, sizeof folder);
    CopyBounded(folder, sizeof folder, InstallerPackageDir().c_str());
    WriteLog("dir is %s.", folder);
    std::string name = EditionFolder(g_nEdition, DeviceProfile.NewerWindows);
    if (name.empty())
        return kResultNoDriverFolder;
    // A folder path that does not fit cannot be the package's: it is not looked for cut short.
    if (!AppendBounded(folder, sizeof folder, name.c_str()) || !PathFileExistsA(folder)) {
        WriteLog("ERROR: dir not find // EMPTY DIR.");
        return kResultNoDriverFolder;
    }
    // The files the removal and the placement ask Windows' INFs about, all in one reading of them.
    WindowsOwnFiles& own = RunWindowsOwnFiles();
    own.Expect(DeviceProfile.UsbDriverName);
    own.Expect(DeviceProfile.AdbUsbDriverName);
    for (const char* pattern : {"\\*.sys", "\\*.dll"}) {
        WIN32_FIND_DATAA found;
        ScopedFindHandle search(FindFirstFileA((std::string(folder) + pattern).c_str(), &found));
        if (!search)
            continue;
        do {
            if (IsFile(found))
                own.Expect(found.cFileName);
        } while (FindNextFileA(search.Get(), &found));
    }
    // Before the placement registers the package's INFs (which Wine keeps under their own names).
    own.Sweep();
    return 0;
}

int InstallDriverFiles(const char* folder) {
    if (change_resident_register(1) != 0) {
        WriteLog("Error: change resident info.");
        return -1;
    }
    if (int result = CopyInfFile(folder))
        return result;
    if (int result = CopyDllFile(folder))
        return result;
    return CopySysFile(folder);
}

int CopyInfFile(const char* folder) {
    return CopyInfFileWith(folder, SetupCopyOEMInfA);
}

int CopyInfFileWith(const char* folder, OemInfCopier copier) {
    char windows[kPathRoom];
    if (!GetWindowsFolder(windows))
        return kResultWriteFailed;
    std::string pattern = std::string(folder) + "\\*.inf";
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) {
        WriteLog("ERROR: FindFirstFile (%s) fail // CopyInfFile.", pattern.c_str());
        return kResultWriteFailed;
    }
    // Windows chooses where the registered copy goes; the messages name the drivers folder.
    std::string shown = std::string(windows) + "\\System32\\drivers\\";
    std::string refused; // the first INF Windows refused
    do {
        if (!IsFile(found) || !HasExactExtension(found.cFileName, ".inf"))
            continue;
        std::string source = std::string(folder) + "\\" + found.cFileName;
        char oemName[kOemNameRoom];
        DWORD required = 0;
        if (!copier(source.c_str(), nullptr, SPOST_PATH, SP_COPY_NOBROWSE, oemName, kOemNameRoom, &required,
                    nullptr)) {
            DWORD error = GetLastError();
            WriteLog("INFO: Copy inf file error: %d, File: %s; To: %s.", static_cast<int>(error),
                     source.c_str(), shown.c_str());
            // Only an INF already in the store is tried again, as a replacement. Any other refusal leaves the
            // device without its driver: the placement fails, after the other INFs are registered, so that
            // one run's log shows every INF Windows refused.
            if (error != ERROR_FILE_EXISTS) {
                WriteLog("ERROR: Windows refused the driver package %s: %s (error %d).", source.c_str(),
                         InfRefusalMeaning(error), static_cast<int>(error));
                if (refused.empty())
                    refused = found.cFileName;
                continue;
            }
            if (!copier(source.c_str(), nullptr, SPOST_PATH, SP_COPY_NOBROWSE | SP_COPY_REPLACEONLY, oemName,
                        kOemNameRoom, &required, nullptr)) {
                WriteLog("INFO: Copy inf file error: %d, File: %s; To: %s.", static_cast<int>(GetLastError()),
                         source.c_str(), shown.c_str());
                return kResultWriteFailed;
            }
        }
        WriteLog("INFO: Copy inf file OK, File: %s; To: %s.", source.c_str(), shown.c_str());
    } while (FindNextFileA(search.Get(), &found));
    if (refused.empty())
        return 0;
    ReachComposedStep(("driver placement: Windows refused " + refused).c_str());
    return kResultWriteFailed;
}

int CopyDllFile(const char* folder) {
    return CopyFilesOfKind(folder, {"\\*.dll", ".dll", "\\system32\\", "Info: Can`t find .dll file.", 0,
                                    "INFO: Copy dll file OK.", "INFO: Copy dll file error."});
}

int CopySysFile(const char* folder) {
    // A folder without driver files of its own may still serve the device: each of the profile's driver
    // files is Windows' own (usbser.sys, winusb.sys), comes with a co-installer, or lies in a subfolder of
    // the package where its INFs put it. Asked only when the folder holds no driver file.
    WIN32_FIND_DATAA found;
    ScopedFindHandle any(FindFirstFileA((std::string(folder) + "\\*.sys").c_str(), &found));
    bool served = false, inSubfolders = false;
    std::vector<std::string> unserved; // the driver files that come from nowhere
    if (!any) {
        std::vector<std::pair<const std::string*, DriverSource>> drivers;
        for (const std::string* name : {&DeviceProfile.UsbDriverName, &DeviceProfile.AdbUsbDriverName}) {
            drivers.emplace_back(name, SourceOfProfileDriver(folder, *name));
            inSubfolders = inSubfolders || drivers.back().second == DriverSource::kPackageSubfolder;
        }
        served = ServedWithoutDriverFiles({drivers[0].second, drivers[1].second});
        for (const auto& [name, source] : drivers) {
            if (source == DriverSource::kNowhere)
                unserved.push_back(*name);
        }
    }
    any.Reset();
    int result = CopyFilesOfKind(
        folder, {"\\*.sys", ".sys", "\\system32\\drivers\\",
                 !served        ? "ERROR: FindFirstFile fail // CopySysFile."
                 : inSubfolders ? "INFO: The edition folder keeps its drivers in its subfolders; "
                                  "Windows copies them when it installs the device"
                                : "INFO: The edition folder holds no driver file: the profile's driver "
                                  "files are Windows' own or come with the package's co-installer",
                 served ? 0 : kResultWriteFailed, "INFO: Copy sys file OK.", "INFO: Copy sys file error."});
    for (const std::string& name : unserved)
        WriteLog(
            "ERROR: Nothing serves the driver file %s: the edition folder holds none, no subfolder holds it "
            "where the folder's INFs put it, and Windows has none of its own",
            name.c_str());
    return result;
}
