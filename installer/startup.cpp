#include "startup.h"

#include "cdrom_folders.h"
#include "package_folder.h"
#include "protected_folder.h"
#include "removal.h"
#include "run_outcome.h"

#include "common/admin.h"
#include "common/devices.h"
#include "common/dll_search.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/host.h"
#include "common/log.h"
#include "common/profile.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <cstring>
#include <vector>

int g_bModemUpdate = 0;
int g_bSerialUpdate = 0;
int g_bAdbUpdate = 0;

namespace {

constexpr int kMaxKeptWords = 3;
constexpr WORD kDefaultLanguage = 0x0809;

// The word list of CommandLineToArgvW, freed with LocalFree.
struct ArgvDeleter {
    void operator()(LPWSTR* words) const { LocalFree(words); }
};

void ShowNotice(const CInstoriaDlg& dlg, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), dlg.m_strBoxTitle.c_str(), MB_OK | MB_ICONINFORMATION);
}

// The installer's own folder and the one above it, held while the program runs from them, so that neither
// can be moved away and replaced once they were found to keep others out.
ScopedFileHandle g_heldOwnFolder;
ScopedFileHandle g_heldParentFolder;

// Word index of the process's command line, converted as param_print converts it, without a log line;
// empty when there is no such word or it cannot be read.
std::string QuietCommandWord(int index) {
    int count = 0;
    std::unique_ptr<LPWSTR, ArgvDeleter> words(CommandLineToArgvW(GetCommandLineW(), &count));
    char slot[kPathRoom] = {};
    if (!words || index >= count || !ConvertWord(words.get()[index], slot))
        return std::string();
    return slot;
}

// The folder's name, without the path above it or a trailing backslash.
std::string LastFolderName(std::string folder) {
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    size_t slash = folder.rfind('\\');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

// The folder above, with its trailing backslash ("E:\" for "E:\Driver\").
std::string ParentFolder(std::string folder) {
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    size_t slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

PackagePlace FindPackagePlace() {
    std::string own = GetModuleDir();
    if (HoldFolderThatKeepsOthersOut(own, g_heldOwnFolder) &&
        HoldFolderThatKeepsOthersOut(ParentFolder(own), g_heldParentFolder))
        return PackagePlace::kOwnCopy;
    g_heldOwnFolder.Reset();
    std::string root = own.substr(0, 3);
    return DecidePackagePlace(false, GetDriveTypeA(root.c_str()) == DRIVE_CDROM);
}

// From a folder that others can change, the package is read from the device's CD-ROM that the starter
// names as the first word ("E: 1"): its folder of the installer's own folder name. False (logged) when the
// word names no CD-ROM drive.
bool TakePackageFromNamedMedium(RunEnd& refusal) {
    std::string own = GetModuleDir();
    std::string word = QuietCommandWord(1);
    char drive[3] = {};
    if (!ParseDriveWord(word.c_str(), drive)) {
        WriteLog("ERR: The installer runs from %s, a folder that other programs can change, and its command "
                 "line names no CD-ROM drive to take its package from; it ends",
                 own.c_str());
        refusal = RunEnd::kUnusableInput;
        return false;
    }
    std::string root = std::string(drive) + "\\";
    if (GetDriveTypeA(root.c_str()) != DRIVE_CDROM) {
        WriteLog("ERR: The installer runs from %s, a folder that other programs can change, and %s is no "
                 "CD-ROM drive to take its package from; it ends",
                 own.c_str(), drive);
        refusal = RunEnd::kDeviceCdrom;
        return false;
    }
    std::string package = root + LastFolderName(own) + "\\";
    WriteLog("INF: The installer runs from %s, a folder that other programs can change; it takes its package "
             "from %s",
             own.c_str(), package.c_str());
    UseInstallerPackageDir(package);
    return true;
}

} // namespace

PackagePlace DecidePackagePlace(bool keepsOthersOut, bool onCdrom) {
    if (keepsOthersOut)
        return PackagePlace::kOwnCopy;
    return onCdrom ? PackagePlace::kMedium : PackagePlace::kChangeable;
}

bool ParseDriveWord(const char* word, char (&drive)[3]) {
    char letter = word[0];
    bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    if (!isLetter || word[1] != ':' || word[2] != '\0')
        return false;
    drive[0] = static_cast<char>(letter >= 'a' ? letter - 'a' + 'A' : letter);
    drive[1] = ':';
    drive[2] = '\0';
    return true;
}

int ParseRunMode(const char* word) {
    int mode = 0;
    ScanDecimal(word, &mode);
    return mode;
}

bool ConvertWord(const wchar_t* word, char (&slot)[kPathRoom]) {
    slot[0] = '\0';
    int needed =
        WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, word, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || static_cast<size_t>(needed) > kPathRoom)
        return false;
    if (WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, word, -1, slot, kPathRoom, nullptr,
                            nullptr) <= 0) {
        slot[0] = '\0';
        return false;
    }
    return true;
}

int ApplyCommandLine(CInstoriaDlg& dlg, const wchar_t* commandLine) {
    int count = 0;
    std::unique_ptr<LPWSTR, ArgvDeleter> words(CommandLineToArgvW(commandLine, &count));
    if (!words) {
        WriteLog("ERR: param_print: the command line cannot be split, error %lu", GetLastError());
        return -1;
    }
    int kept = count < kMaxKeptWords ? count : kMaxKeptWords;
    char slots[kMaxKeptWords][kPathRoom] = {};
    bool readable = true;
    for (int i = 0; i < kept; ++i) {
        if (ConvertWord(words.get()[i], slots[i])) {
            WriteLog("param_print: param[%d] = %s", i, slots[i]);
        } else {
            WriteLog("ERR: param_print: param[%d] is longer than %u bytes or not convertible, not used", i,
                     static_cast<unsigned>(kPathRoom - 1));
            // The program's own path is not used; the road and the mode are.
            readable = readable && i == 0;
        }
    }
    if (kept >= 2) {
        if (strcmp(slots[1], "/install") == 0 || strcmp(slots[1], "/uninstall") == 0) {
            CopyBounded(dlg.m_szInstallType, sizeof dlg.m_szInstallType, slots[1]);
            WriteLog("Install type : %s.", dlg.m_szInstallType);
        } else {
            WriteLog("argv[1] is : %s.", slots[1]);
        }
    }
    if (kept >= 3) {
        dlg.m_nDoType = ParseRunMode(slots[2]);
        WriteLog("dlg.m_nDoType = %d", dlg.m_nDoType);
    }
    return readable ? count : -1;
}

int param_print(CInstoriaDlg& dlg) {
    return ApplyCommandLine(dlg, GetCommandLineW());
}

int SelectLanguage(CInstoriaDlg& dlg) {
    WORD language = GetSystemDefaultLangID();
    if (dlg.LoadLanguageTexts(language)) {
        WriteLog("Support LID 0x%04x language, use this language", language);
        return 1;
    }
    WriteLog("Not support LID 0x%04x language, use default language:0x0809", language);
    if (dlg.LoadLanguageTexts(kDefaultLanguage))
        return 1;
    WriteLog("Use default language error");
    return 0;
}

int check_rdrom_state(CInstoriaDlg& dlg) {
    WriteLog("step into the function --check_rdrom_state( CInstoriaDlg &dlg )--");
    std::vector<std::string> drives;
    if (!ListCdromDrives(drives)) {
        WriteLog("Get CDROM Drives Failed ");
        return -1;
    }
    std::string drive;
    int count = 0;
    if (!MatchDeviceCdromDrives(drives, DeviceProfile.CDROMSignId, drive, count)) {
        WriteLog("Get Current Phone CDROM Drives Failed ");
        return -1;
    }
    if (count > 1) {
        EndRun(RunEnd::kDeviceCdrom);
        ShowNotice(dlg, dlg.m_strOnlyOnePhone);
        WriteLog("Get More than one Current Phone CDROM Drives");
        return -1;
    }
    if (count == 0) {
        EndRun(RunEnd::kDeviceCdrom);
        ShowNotice(dlg, dlg.m_strPhoneNotConnect);
        WriteLog("Get zero Current Phone CDROM Drives");
        return 0;
    }
    dlg.m_nCdromCount = 1;
    WriteLog("CDROM disk count is : %d", dlg.m_nCdromCount);
    CopyBounded(dlg.m_szCdromDrive, sizeof dlg.m_szCdromDrive, drive.c_str());
    WriteLog("CDROM disk volume : %s", dlg.m_szCdromDrive);
    WriteLog("step over the function --check_rdrom_state( CInstoriaDlg &dlg )--");
    return 1;
}

int install_driver_prepare(CInstoriaDlg& dlg, CDriverPrepare_Setup& setup, PackagePlace place) {
    WriteLog("enter install_driver_prepare().");
    if (place == PackagePlace::kOwnCopy)
        return 1;

    WriteLog("Run InitalDriverSetup");
    ReachStep("staging");
    // Started by hand from the medium while an installer works: that one's run is left alone.
    if (place == PackagePlace::kMedium && setup.InstallerAtWork()) {
        WriteLog("InitalDriverSetup Failed");
        return 0;
    }
    std::string root;
    if (!MakeProtectedFolder(root)) {
        WriteLog("InitalDriverSetup Failed");
        return 0;
    }
    int staged = setup.StagePackageInto(root);
    std::vector<std::string> written = {setup.m_strDriverPath + "\\"};
    for (const std::string& path : setup.StagedPaths())
        written.push_back(setup.m_strDriverPath + "\\" + path);
    RemoveAtRestart(root, written);
    char program[kPathRoom] = {};
    if (!staged) {
        WriteLog("InitalDriverSetup Failed");
        return 0;
    }
    if (place == PackagePlace::kChangeable) {
        UseInstallerPackageDir(root + setup.m_strDriverPath + "\\");
        WriteLog("INF: The installer goes on with its own copy of the package in %s",
                 InstallerPackageDir().c_str());
        return 1;
    }
    // A copy that failed has been logged; without the installer itself there is nothing to start.
    if (!setup.GetStagedSetupPath(program) || GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES) {
        WriteLog("ERR: The staged installer %s is missing", program);
        WriteLog("InitalDriverSetup Failed");
        return 0;
    }
    WriteLog("Call Instoria.exe in Windows temp dir.");
    ReachStep("start of the staged installer");
    if (setup.ShellExeTmpSetup(dlg.m_szCdromDrive, 4))
        EndRun(RunEnd::kDone);
    return 0;
}

void DetectDriverUpdates() {
    g_bModemUpdate = 0;
    g_bSerialUpdate = 0;
    g_bAdbUpdate = 0;
    const DeviceProfileData& p = DeviceProfile;
    DeviceSnapshot devices; // one enumeration of the present devices for the three looks
    if (devices.CheckDriverVersion(p.ModemHwId.c_str(), p.ModemHwIdVersion))
        g_bModemUpdate = 1;
    if (devices.CheckDriverVersion(p.SerialHwId.c_str(), p.SerialHwIdVersion))
        g_bSerialUpdate = 1;
    if (devices.CheckDriverVersion(p.AdbHwId.c_str(), p.AdbHwIdVersion))
        g_bAdbUpdate = 1;
}

int update_driver_prepare(CInstoriaDlg& dlg) {
    WriteLog("enter update_driver_prepare().");
    ReachStep("driver version check");
    DetectDriverUpdates();
    if (!g_bModemUpdate && !g_bSerialUpdate && !g_bAdbUpdate) {
        EndRun(RunEnd::kDone);
        ShowNotice(dlg, dlg.m_strDriverExist);
        WriteLog("Driver has been installed ");
        return 0;
    }
    WriteLog("Driver need update. Update is running...");
    return 1;
}

int PrepareDriverSetup(CInstoriaDlg& dlg, PackagePlace place) {
    CDriverPrepare_Setup setup(ParentFolder(InstallerPackageDir()), LastFolderName(GetModuleDir()));
    if (!install_driver_prepare(dlg, setup, place))
        return -1;
    // The tools the installer starts inherit its working folder, which the launcher set to the user's temp
    // folder: they work from the installer's own copy instead.
    SetCurrentDirectoryA(InstallerPackageDir().c_str());
    // Only a device that no longer shows its storage identity can have drivers to update.
    if (setup.IsDeviceAbsent() && !update_driver_prepare(dlg))
        return -1;
    return 0;
}

int RunWithMutex(CInstoriaDlg& dlg) {
    ReachStep("window");
    const std::string& name = StagedSetupName(g_nEdition);
    HANDLE created = CreateMutexA(nullptr, TRUE, name.c_str());
    DWORD error = GetLastError();
    ScopedHandle mutex(created);
    if (!mutex || error == ERROR_ALREADY_EXISTS) {
        WriteLog("INF: Mutex:%s is exist, close dialog", name.c_str());
        EndRun(RunEnd::kAlreadyRunning);
        return 0;
    }
    WriteLog("INF: Create Mutex:%s success", name.c_str());
    if (CWinApp* app = CWinApp::Current())
        app->m_pMainWnd = &dlg;
    dlg.DoModal();
    WriteLog("BOOL CInstoriaApp::InitInstance() end");
    ReleaseMutex(mutex.Get());
    return 1;
}

// Every road up to the window; the window's worker says how the run ended from there.
void RunRoads(CInstoriaDlg& dlg) {
    WriteLog("Run CheckAdmin");
    ReachStep("administrator check");
    if (!CheckAdmin()) {
        EndRun(RunEnd::kNotAdministrator);
        return;
    }
    ReachStep("texts and profile");
    PackagePlace place = FindPackagePlace();
    RunEnd refusal = RunEnd::kUnusableInput;
    if (place == PackagePlace::kChangeable && !TakePackageFromNamedMedium(refusal)) {
        WriteLog("Exit Programm Instoria");
        EndRun(refusal);
        return;
    }
    if (!SelectLanguage(dlg) || !ReadDrvCfg(InstallerPackageDir() + "drvcfg.ini", "Section_Driver")) {
        WriteLog("Exit Programm Instoria");
        EndRun(RunEnd::kUnusableInput);
        return;
    }
    ReachStep("command line");
    if (param_print(dlg) < 0) {
        WriteLog("ERR: The command line cannot be used; the installer ends");
        EndRun(RunEnd::kUnusableInput);
        return;
    }
    // Only the exact verb removes: "/UNINSTALL" or "/uninstallx" take the window road.
    if (strcmp(dlg.m_szInstallType, "/uninstall") == 0) {
        ReachStep("removal");
        int removed = UninstallDrivers();
        if (removed == kResultUnusableProfile)
            EndRun(RunEnd::kUnusableInput);
        else if (removed != 0 || ReachLeftoversStep())
            EndRun(RunEnd::kStepFailed);
        else
            EndRun(RunEnd::kDone);
        WriteLog("Exit Programm Instoria");
        return;
    }
    ReachStep("device cd-rom");
    if (check_rdrom_state(dlg) < 1) {
        WriteLog("Exit Programm Instoria");
        return;
    }
    // The package was read from the drive the starter named: it must be the device's.
    if (place == PackagePlace::kChangeable &&
        _strnicmp(dlg.m_szCdromDrive, InstallerPackageDir().c_str(), 2) != 0) {
        WriteLog(
            "ERR: The device's CD-ROM is %s, not the drive %.2s the package was read from; the installer "
            "ends",
            dlg.m_szCdromDrive, InstallerPackageDir().c_str());
        EndRun(RunEnd::kDeviceCdrom);
        WriteLog("Exit Programm Instoria");
        return;
    }
    if (PrepareDriverSetup(dlg, place) != 0) {
        WriteLog("Exit Programm Instoria");
        return;
    }
    RunWithMutex(dlg);
}

BOOL CInstoriaApp::InitInstance() {
    // Elevated, from a folder other programs can write to: no library by name from there.
    RestrictDllSearch();
    CInstoriaDlg dlg;
    InitLogFile();
    WriteLog("begin......\n\n\n");
    WriteLog("current run dir: %s", GetModuleDir().c_str());
    RunRoads(dlg);
    return FALSE;
}

int CInstoriaApp::ExitInstance() {
    return FinishRun();
}
