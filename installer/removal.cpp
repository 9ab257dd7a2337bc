#include "removal.h"

#include "package_folder.h"
#include "resident.h"
#include "run_outcome.h"

#include "common/clock.h"
#include "common/devices.h"
#include "common/files.h"
#include "common/folder_name.h"
#include "common/handles.h"
#include "common/inf_search_ahead.h"
#include "common/log.h"
#include "common/newer_api.h"
#include "common/profile.h"
#include "common/text.h"
#include "common/windows_own_files.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kUninstallSection[] = "Uninstall_Drivers_Name";
const char kUninstallKey[] = "key_UnInstall_pid_list";

constexpr DWORD kPauseAfterUninstallStep = 2500;
constexpr DWORD kPauseAfterRemovalAttempt = 5000;
constexpr int kRemovalAttempts = 12;

// The hardware ID of one interface of the composite device: "usb\vid_..&pid_..&mi_01".
std::string InterfaceId(const std::string& productId, int number) {
    return productId + "&mi_0" + static_cast<char>('0' + number);
}

std::vector<std::string> InterfaceIds() {
    std::vector<std::string> ids;
    for (int i = 0; i < DeviceProfile.TotalInterface; ++i)
        ids.push_back(InterfaceId(DeviceProfile.ProductId, i));
    return ids;
}

// Whether a file is there; a file that cannot be looked at counts as there, so that its deletion is tried
// (and its failure logged).
bool FilePresent(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// What the removals of this run could not take away, or could not judge, as the log names them.
std::vector<std::string> g_leftovers;

void LeaveBehind(const std::string& what) {
    g_leftovers.push_back(what);
}

// A file of Windows' own stays, whatever a profile or a package names: true, with its line, when path is
// one. It is no leftover of the removal.
bool StaysAsWindowsOwn(const std::string& path) {
    std::string inf;
    WindowsOwn own = RunWindowsOwnFiles().Ask(path, &inf);
    if (own == WindowsOwn::kNo)
        return false;
    WriteLog("INFO: %s is Windows' own file (%s); it stays", path.c_str(),
             DescribeWindowsOwn(own, inf).c_str());
    return true;
}

// What became of one file of an OEM copy.
enum class OemFileEnd { kGone, kStays, kFailed };

// One file of an OEM copy after Windows' answer: gone, already or by its deletion now; staying as a file of
// Windows' own; or still there after its deletion failed (or never there, and its deletion failed).
OemFileEnd RemoveOemFile(const std::string& path, OemUninstall answer, bool wasThere) {
    if (DecideOemFileStep(answer, wasThere, FilePresent(path)) == OemFileStep::kAlreadyGone)
        return OemFileEnd::kGone;
    if (FilePresent(path) && StaysAsWindowsOwn(path))
        return OemFileEnd::kStays;
    return ForceDeleteFile(path.c_str()) ? OemFileEnd::kGone : OemFileEnd::kFailed;
}

// Removes every {WinDir}\inf\oem*.inf whose text names one of ids, with its .Pnf twin. False only when the
// folder cannot be searched. Each file is read once, however many IDs are tested, and goes at most once.
bool RemoveOemInfsNaming(const std::vector<std::string>& ids, bool logMatch) {
    char windows[kPathRoom];
    if (!GetWindowsFolder(windows))
        return false;
    std::string pattern = std::string(windows) + "\\inf\\oem*.inf";
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            WriteLog("INFO: Donot find oem files. LastError:%d", static_cast<int>(error));
            return true;
        }
        WriteLog("ERROR: FindFirstFile inf dir fail.LastError:%d", static_cast<int>(error));
        return false;
    }
    // In the order the folder lists them; read by the folder's name as it is spelled on the disk.
    std::vector<std::string> names, paths;
    do {
        // A folder of that name is no INF copy of anyone's.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        names.push_back(found.cFileName);
        paths.push_back(std::string(windows) + "\\inf\\" + found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    search.Reset();

    // One sweep of each text for every ID, each found only as a whole ID; the first ID of the list that it
    // holds is the match. A text that holds none may spell one through [Strings] tokens: then the first ID
    // its values name is.
    InfSearch textSearch(ids, std::vector<bool>(ids.size(), true));
    InfSearchAhead files(std::move(paths), textSearch);
    WholeRead read;
    std::vector<bool> held, added;
    for (size_t i = 0; files.Next(read, held, added); ++i) {
        std::string path = std::string(windows) + "\\Inf\\" + names[i]; // as the log names it
        if (read == WholeRead::kUnreadable) {
            // Any INF copy may be the product's, and one that cannot be read cannot be told apart: it is
            // not deleted, and the removal cannot say it is whole.
            WriteLog(
                "ERROR: Cannot read %s; it may be the product's, so it stays and the removal is not known "
                "to be whole",
                path.c_str());
            LeaveBehind(path + " (unreadable)");
            continue;
        }
        // A file far larger than any INF is no copy of a driver package: logged, and passed over.
        if (!ReportWholeRead(path.c_str(), read))
            continue;
        const std::vector<bool>& matched =
            std::find(held.begin(), held.end(), true) != held.end() ? held : added;
        auto first = std::find(matched.begin(), matched.end(), true);
        if (first == matched.end())
            continue;
        const std::string& id = ids[static_cast<size_t>(first - matched.begin())];
        if (logMatch)
            WriteLog("File_info: %s; USB_info:%s. Match!", path.c_str(), id.c_str());
        RemoveOemInfCopy(windows, names[i].c_str(), GetDeviceInstallApi().SetupUninstallOEMInfA);
    }
    WriteLog("Remove driver file, OK.");
    return true;
}

// The messages of one phase of the CD-ROM / mass-storage removal.
struct RemovalPhaseLines {
    const char* step;
    const char* gone;
    const char* failed;
};

// Removes the present device hwid (carrying compatId) in up to kRemovalAttempts attempts, paused after
// each. True once it is gone; a device already gone costs no pause.
bool RemovePresentDevice(const std::string& hwid, const std::string& compatId,
                         const RemovalPhaseLines& lines) {
    for (int step = 0; step < kRemovalAttempts; ++step) {
        WriteLog(lines.step, hwid.c_str(), step);
        int absent = 1;
        int listRead = DetectDevice(hwid.c_str(), compatId.c_str(), &absent);
        switch (DecideRemovalStep(listRead, absent)) {
        case RemovalStep::kGone:
            WriteLog(lines.gone, hwid.c_str());
            return true;
        case RemovalStep::kRemove:
            RemoveDevicesByHwId(hwid.c_str(), compatId.c_str(), kPresentDevices, nullptr);
            break;
        case RemovalStep::kLookAgain:
            WriteLog("ERR: Detect device %s error...", hwid.c_str());
            break;
        }
        ClockSleep(kPauseAfterRemovalAttempt);
    }
    WriteLog(lines.failed, hwid.c_str());
    return false;
}

bool Given(const char* compatId) {
    return compatId && *compatId;
}

} // namespace

void RemoveOemInfCopy(const char* windows, const char* name, OemInfUninstaller uninstall) {
    std::string path = std::string(windows) + "\\Inf\\" + name;
    std::string pnf = path.substr(0, path.size() - 3) + "Pnf";
    bool pnfWasThere = FilePresent(pnf);
    OemUninstall answer = OemUninstall::kNotAsked;
    if (uninstall) {
        // Through Windows, so that the catalog and the driver store's copy go too: otherwise Windows can
        // install the old driver again for the device.
        if (uninstall(name, SUOI_FORCEDELETE, nullptr)) {
            answer = OemUninstall::kDone;
            WriteLog("INFO: Windows removed the driver package %s.", name);
        } else {
            answer = OemUninstall::kFailed;
            WriteLog("ERROR: SetupUninstallOEMInf %s fail.LastError:%d, deleting its files", name,
                     static_cast<int>(GetLastError()));
        }
    }
    OemFileEnd infEnd = RemoveOemFile(path, answer, true);
    if (infEnd == OemFileEnd::kGone) {
        WriteLog("INFO: Remove inf file suc, file: %s.", path.c_str());
    } else if (infEnd == OemFileEnd::kFailed) {
        WriteLog("ERROR: Remove inf file err, file: %s.", path.c_str());
        if (FilePresent(path))
            LeaveBehind(path);
    }
    OemFileEnd pnfEnd = RemoveOemFile(pnf, answer, pnfWasThere);
    if (pnfEnd == OemFileEnd::kGone) {
        WriteLog("INFO: Remove pnf file suc, file: %s.", pnf.c_str());
    } else if (pnfEnd == OemFileEnd::kFailed) {
        // A .Pnf that never was there fails its deletion too, but nothing of it stays.
        WriteLog("ERROR: Remove pnf file err, file: %s.", pnf.c_str());
        if (FilePresent(pnf))
            LeaveBehind(pnf);
    }
}

int RemoveDevicesByHwId(const char* id, const char* mustHaveCompatId, DWORD flags,
                        const char* exceptCompatId) {
    ScopedDevInfo set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, flags));
    if (!set) {
        WriteLog("ERR: SetupDiGetClassDevs error...");
        return 1;
    }
    int result = 0;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    // A removed node stays in the set (gone from the system only), so the index walks on.
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        std::vector<std::string> ids;
        if (!ReadDeviceIdList(set.Get(), &device, SPDRP_HARDWAREID, ids))
            continue;
        for (const std::string& hwid : ids) {
            if (hwid != id)
                continue;
            WriteLog("INF: Find device, ID: %s...", id);
            if (Given(exceptCompatId) && HasCompatibleId(set.Get(), &device, exceptCompatId)) {
                WriteLog("Don't Del : %s...", exceptCompatId);
            } else if (!Given(mustHaveCompatId) || HasCompatibleId(set.Get(), &device, mustHaveCompatId)) {
                if (SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device)) {
                    WriteLog("SetupDiCallClassInstaller DIF_REMOVE SUC, Device ID: %s...", id);
                } else {
                    WriteLog("ERR: SetupDiCallClassInstaller DIF_REMOVE error...");
                    result = 2;
                }
            }
            // One decision per node: a list naming the ID twice must not remove the node twice (the
            // second attempt would fail and report a removal that succeeded as failed).
            break;
        }
    }
    return result;
}

int RemoveCompositeDevice(DWORD flags) {
    if (!CheckDrvCfg())
        return -1;
    for (const std::string* hwid : {&DeviceProfile.ProductId, &DeviceProfile.UsbStorHwId}) {
        if (RemoveDevicesByHwId(hwid->c_str(), nullptr, flags, nullptr) == 0) {
            WriteLog("remove composite device %s success.", hwid->c_str());
        } else {
            WriteLog("remove composite device %s error.", hwid->c_str());
            LeaveBehind("the device " + *hwid);
        }
    }
    return 0;
}

int RemoveInterfaceDevices(DWORD flags, const char* exceptCompatId) {
    if (!CheckDrvCfg())
        return 0;
    for (const std::string& id : InterfaceIds()) {
        if (RemoveDevicesByHwId(id.c_str(), nullptr, flags, exceptCompatId) != 0) {
            WriteLog("ERROR: remove dirver info error, Device ID: %s.", id.c_str());
            return 0;
        }
        WriteLog("INFO: remove dirver info suc, Device ID: %s.", id.c_str());
    }
    return 1;
}

bool RemoveOemInfFiles() {
    if (!CheckDrvCfg())
        return false;
    if (DeviceProfile.ProductId.empty()) {
        WriteLog("Err: The hardward id is empty");
        return false;
    }
    return RemoveOemInfsNaming(InterfaceIds(), true);
}

bool RemoveOemInfByHwId(const char* hwid) {
    return RemoveOemInfsNaming({hwid ? hwid : ""}, false);
}

void ExpectProfileDriverQuestions() {
    RunWindowsOwnFiles().Expect(DeviceProfile.UsbDriverName);
    RunWindowsOwnFiles().Expect(DeviceProfile.AdbUsbDriverName);
}

bool RemoveSysFiles() {
    char windows[kPathRoom];
    if (!CheckDrvCfg() || !GetWindowsFolder(windows))
        return false;
    ExpectProfileDriverQuestions();
    for (const std::string* name : {&DeviceProfile.UsbDriverName, &DeviceProfile.AdbUsbDriverName}) {
        // The profile reader takes only plain names; the deletion asks again, as nothing outside the driver
        // folder may go by a name from a file.
        char path[kPathRoom];
        if (!IsPlainFileName(*name, ".sys") ||
            !FormatBounded(path, sizeof path, "%s\\system32\\drivers\\%s", windows, name->c_str())) {
            WriteLog(
                "ERR: The driver file name %s is not one plain file name of the driver folder; nothing is "
                "deleted by it",
                name->c_str());
            continue;
        }
        if (FilePresent(path) && StaysAsWindowsOwn(path))
            continue;
        if (ForceDeleteFile(path)) {
            WriteLog("INFO: Remove sys file suc, file: %s.", path);
        } else {
            // A driver file that was not there fails its deletion too; only one still there stayed.
            WriteLog("ERROR: Remove sys file err, file: %s.", path);
            if (FilePresent(path))
                LeaveBehind(path);
        }
    }
    return true;
}

int RemoveCdromAndMassStorage() {
    if (!CheckDrvCfg())
        return 0;
    if (!RemovePresentDevice(DeviceProfile.UsbStorHwId, DeviceProfile.UsbStorCmpId,
                             {"INF: Del CD ROM Device ID(%s), Step %d...",
                              "INF: Del CD ROM Device ID(%s), SUC...",
                              "INF: Del CD ROM Device ID(%s), failed..."}))
        return 0;
    if (!RemovePresentDevice(DeviceProfile.ProductId, DeviceProfile.MassCmpId,
                             {"INF: Del Mass Storage USB Device ID(%s), Step %d...",
                              "INF: Del TESSIK Mass Storage USB DeviceID(%s), SUC...",
                              "INF: Del TESSIK Mass Storage USB DeviceID(%s), failed..."}))
        return 0;
    return 1;
}

int uninstall_for_specify_pid() {
    if (change_resident_register(0) != 0) {
        WriteLog("Error: change resident info.");
        return kResultRemovalFailed;
    }
    ClockSleep(kPauseAfterUninstallStep);
    if (!RemoveInterfaceDevices(kAllDevices, DeviceProfile.MassCmpId.c_str())) {
        WriteLog("Error: remove dirver info error.");
        return kResultRemovalFailed;
    }
    ClockSleep(kPauseAfterUninstallStep);
    if (!RemoveOemInfFiles()) {
        WriteLog("Error: remove dirver .inf files error.");
        return kResultRemovalFailed;
    }
    if (!RemoveSysFiles())
        WriteLog("Error: remove dirver .sys files error.");
    WriteLog("Remove driver, OK.");
    return 0;
}

const std::vector<std::string>& RemovalLeftovers() {
    return g_leftovers;
}

void ForgetRemovalLeftovers() {
    g_leftovers.clear();
}

bool ReachLeftoversStep() {
    char step[kStepRoom];
    if (!ComposeLeftoversStep(g_leftovers, step, sizeof step))
        return false;
    WriteLog("ERR: The removal did not take everything of the product away: %s", step);
    ReachComposedStep(step);
    return true;
}

int UninstallDrivers() {
    ForgetRemovalLeftovers();
    WriteLog("----------------Uninstall begin...----------------");
    if (!CheckSystemVersion()) {
        WriteLog("ERROR: is not win2000 or winxp.");
        return kResultOldWindows;
    }
    WriteLog("Check system info, OK.");
    std::string profile = InstallerPackageDir() + "drvcfg.ini";
    std::string list;
    if (!ReadCfgValue(kUninstallSection, kUninstallKey, 0, list, profile.c_str())) {
        WriteLog("Err:Get config(Section:%s; Key:%s) from cfg file fialed", kUninstallSection, kUninstallKey);
        return 0;
    }
    WriteLog("Info:The value of config(Section:%s; Key:%s) is %s.", kUninstallSection, kUninstallKey,
             list.c_str());
    // Every product is read and checked before the first is touched: a section that cannot be used stops
    // the removal before it has removed anything, not halfway down the list.
    std::vector<std::string> products = SplitPidList(list.c_str());
    std::vector<DeviceProfileData> profiles;
    for (const std::string& product : products) {
        if (!ReadDrvCfg(profile, product)) {
            WriteLog("Error:read drvcfg.ini error.");
            return kResultUnusableProfile;
        }
        profiles.push_back(DeviceProfile);
        // Every product's driver files are asked about in one reading of Windows' INFs.
        ExpectProfileDriverQuestions();
    }
    for (size_t i = 0; i < products.size(); ++i) {
        WriteLog("----------------Uninstall : %s-------------------", products[i].c_str());
        DeviceProfile = profiles[i];
        int result = uninstall_for_specify_pid();
        if (result != 0) {
            WriteLog("Error:uninstall_for_specify_pid() error.");
            return result;
        }
        RemoveCompositeDevice(kAllDevices);
    }
    return 0;
}
