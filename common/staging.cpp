#include "staging.h"

#include "devices.h"
#include "edition.h"
#include "files.h"
#include "folder_name.h"
#include "handles.h"
#include "log.h"
#include "processes.h"
#include "profile.h"
#include "staging_folder.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <initializer_list>

namespace {

const char kAutorunSection[] = "Section_Autorun";
const char kAutorunCfgName[] = "autoruncfg.cfg";

// Composes a path from pieces with AppendPath; false (and a log line naming what) when it does not fit.
bool ComposePath(char (&path)[kPathRoom], std::initializer_list<const char*> parts, const char* what) {
    path[0] = '\0';
    for (const char* part : parts) {
        if (!AppendPath(path, kPathRoom, part)) {
            WriteLog("ERR: The path of %s is longer than %u characters, refused", what,
                     static_cast<unsigned>(kPathRoom - 1));
            return false;
        }
    }
    return true;
}

// How a copy's failure reads in the log: the copy's own words, with the system's error code.
void LogCopyFailure(const char* source, const char* target) {
    WriteLog("ERR: CopyFile: %s >> %s failed, error %lu", source, target, GetLastError());
}

} // namespace

const std::string& StagedSetupName(int edition) {
    return EditionIs64Bit(edition) ? DeviceProfile.DriverInstallNameAMD64 : DeviceProfile.DriverInstallName;
}

bool ComposeSetupParameters(char* out, size_t room, const std::string& drive, int mode) {
    if (mode < 0 || mode > 9)
        return false;
    char designator[3] = {};
    for (size_t i = 0; i < 2 && i < drive.size(); ++i) {
        char c = drive[i];
        designator[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return FormatBounded(out, room, "%s %c", designator, static_cast<char>('0' + mode));
}

MediumFolderFate DecideMediumFolder(DWORD attributes, int levelsLeft) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return MediumFolderFate::kSkipLink;
    return levelsLeft > 0 ? MediumFolderFate::kStage : MediumFolderFate::kTooDeep;
}

std::string PluginIniName(std::string dllName) {
    for (size_t at = dllName.find(".dll"); at != std::string::npos; at = dllName.find(".dll", at + 4))
        dllName.replace(at, 4, ".ini");
    return dllName;
}

CDriverSetupPreparation::CDriverSetupPreparation(Role role, std::string moduleDir)
    : m_role(role), m_strModuleDir(std::move(moduleDir)) {}

CDriverSetupPreparation::~CDriverSetupPreparation() = default;

void CDriverSetupPreparation::RefuseUnplainDriverPath() {
    if (m_strDriverPath.empty() || IsPlainFolderName(m_strDriverPath))
        return;
    WriteLog("ERR: The package folder name '%s' is not one plain folder name; it is refused and nothing is "
             "staged",
             m_strDriverPath.c_str());
    m_strDriverPath.clear();
}

bool CDriverSetupPreparation::GetStagingRoot(char (&path)[kPathRoom]) const {
    if (m_strStagingRoot.empty())
        return GetTempFolder(path);
    if (CopyBounded(path, kPathRoom, m_strStagingRoot.c_str()))
        return true;
    WriteLog("ERR: The staging folder %s is too long, refused", m_strStagingRoot.c_str());
    return false;
}

int CDriverSetupPreparation::AutoRun_PrepareTmpDriver() {
    if (m_strDriverPath.empty())
        return 0;
    // Under a running installer the staging folder is its program folder: nothing there may change.
    if (m_strStagingRoot.empty() && InstallerAtWork())
        return 0;
    m_nFilesNotStaged = 0;
    m_staged.clear();
    m_bRecordWritten = false;
    if (!AutoRun_CreateTmpSysDrvDir(m_strDriverPath))
        return 0;
    int copied = AutoRun_CopyAllFiles(m_strDriverPath);
    RecordStagedFiles();
    return copied;
}

bool CDriverSetupPreparation::InstallerAtWork() {
    for (const std::string* name :
         {&DeviceProfile.DriverInstallName, &DeviceProfile.DriverInstallNameAMD64}) {
        if (name->empty())
            continue;
        // A mutex an elevated installer made may be closed to this program: it exists all the same.
        ScopedHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, name->c_str()));
        bool held = mutex || GetLastError() == ERROR_ACCESS_DENIED;
        if (held || FindProcessByName(name->c_str(), GetCurrentProcessId()) != 0) {
            WriteLog("ERR: The installer %s is at work; its staging folder %s is left as it is",
                     name->c_str(), m_strDriverPath.c_str());
            return true;
        }
    }
    return false;
}

void CDriverSetupPreparation::RecordStagedFiles() {
    char base[kPathRoom];
    if (!m_strStagingRoot.empty() || !GetStagingRoot(base) ||
        !AppendBounded(base, sizeof base, m_strDriverPath.c_str()) ||
        GetFileAttributesA(base) == INVALID_FILE_ATTRIBUTES)
        return;
    if (WriteStagingRecord(base, m_staged, m_bRecordWritten))
        m_bRecordWritten = true;
}

int CDriverSetupPreparation::AutoRun_CreateTmpSysDrvDir(std::string driverPath) {
    char base[kPathRoom];
    if (!GetStagingRoot(base) || !AppendBounded(base, sizeof base, driverPath.c_str())) {
        WriteLog("ERR: The temp package folder %s is not available, refused", driverPath.c_str());
        return 0;
    }
    if (m_strStagingRoot.empty() && !ClearStagingFolder(base, driverPath))
        return 0;
    if (!CreateDirIfAbsent(base))
        return 0;
    std::string edition;
    if (!AutoRun_GetTmpSysDrvDirName(edition))
        return 0;
    char folder[kPathRoom];
    if (!CopyBounded(folder, sizeof folder, base) || !AppendBounded(folder, sizeof folder, edition.c_str())) {
        WriteLog("ERR: The path of the temp folder %s%s is too long, refused", base, edition.c_str());
        return 0;
    }
    if (!CreateDirIfAbsent(folder))
        return 0;
    m_staged.push_back(edition.substr(1) + "\\");
    if (!CopyBounded(folder, sizeof folder, base) || !AppendBounded(folder, sizeof folder, "\\Res")) {
        WriteLog("ERR: The path of the temp folder %s\\Res is too long, refused", base);
        return 0;
    }
    if (!CreateDirIfAbsent(folder))
        return 0;
    m_staged.push_back("Res\\");
    return 1;
}

bool CDriverSetupPreparation::ClearStagingFolder(const char* base, const std::string& driverPath) {
    // Cleaning a folder that holds the package itself would move aside what is to be staged.
    std::string source = m_strModuleDir + (m_bFromSubFolder ? driverPath : std::string());
    if (PathIsWithin(source, base)) {
        WriteLog("ERR: The package %s lies in the staging folder %s; nothing is staged", source.c_str(),
                 base);
        return false;
    }
    // The staged package must be the medium's alone: an elevated installer runs from there, and whatever
    // another program of the user put beside it would be loaded or placed as its own.
    return CleanStagingFolder(base);
}

int CDriverSetupPreparation::AutoRun_GetTmpSysDrvDirName(std::string& folder) {
    std::string name = EditionFolder(g_nEdition, DeviceProfile.NewerWindows);
    if (name.empty())
        return 0;
    folder = "\\" + name;
    if (m_role == Role::kInstaller)
        WriteLog("make sure the temp driver folder then create it :%s --AutoRun_GetTmpSysDrvDirName()--",
                 folder.c_str());
    return 1;
}

int CDriverSetupPreparation::CreateDirIfAbsent(const char* path) {
    WriteLog("CreateDirectiory: %s ", path);
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return 1;
        WriteLog("ERR: %s is a file, not a folder", path);
        return 0;
    }
    return CreateDirectoryA(path, nullptr) ? 1 : 0;
}

int CDriverSetupPreparation::AutoRun_CopyAllFiles(std::string driverPath) {
    CopyClientSetup(driverPath.c_str(), nullptr, nullptr);
    std::string edition = EditionFolder(g_nEdition, DeviceProfile.NewerWindows);
    if (edition.empty()) {
        WriteLog("AutoRun_CopyAllFiles(): Not support this OS: %d ", g_nEdition);
        return 0;
    }
    // A folder that could not be copied whole has logged why; the staging goes on with the others.
    std::string editionFolder = "\\" + edition;
    CopyClientSetup(driverPath.c_str(), editionFolder.c_str(), nullptr);
    // A maker's INFs may take their driver files from subfolders (x86, amd64) of the edition folder, where
    // Windows looks for them when it installs the device. The package folder's subfolders are the other
    // editions' and stay behind.
    CopyClientSubFolders(driverPath.c_str(), editionFolder, kStagedSubFolderLevels);
    CopyClientSetup(driverPath.c_str(), "\\Res", nullptr);
    return AllFilesStaged() ? 1 : 0;
}

bool CDriverSetupPreparation::AllFilesStaged() const {
    if (m_nFilesNotStaged == 0)
        return true;
    WriteLog("ERR: %d files of the package could not be staged; the staging failed", m_nFilesNotStaged);
    return false;
}

int CDriverSetupPreparation::CopyClientSetup(const char* param1, const char* param2, const char* param3) {
    WriteLog("CopyClientSetup():param1: %s; param2: %s ", param1 ? param1 : "(null)",
             param2 ? param2 : "(null)");
    char temp[kPathRoom];
    if (!GetStagingRoot(temp))
        return 0;
    char target[kPathRoom];
    if (!ComposePath(target, {temp, param1, param2}, "the staged folder"))
        return 0;
    char source[kPathRoom];
    if (!ComposeSourceFolder(source, param1, param3 ? param3 : param2))
        return 0;
    char pattern[kPathRoom];
    if (!CopyBounded(pattern, sizeof pattern, source) || !AppendPath(pattern, sizeof pattern, "*.*")) {
        WriteLog("ERR: The path of %s\\*.* is too long, refused", source);
        return 0;
    }

    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA(pattern, &found));
    if (!search) {
        WriteLog("Error: CopyClientSetup():FindFile %s error", pattern);
        return 0;
    }
    int failed = 0;
    do {
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0 ||
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        char from[kPathRoom], to[kPathRoom];
        if (!ComposePath(from, {source, found.cFileName}, found.cFileName) ||
            !ComposePath(to, {target, found.cFileName}, found.cFileName)) {
            ++failed;
            continue;
        }
        std::string relative = param2 ? std::string(param2 + strspn(param2, "\\")) + "\\" : std::string();
        if (StageFile(from, to, relative + found.cFileName))
            WriteLog("CopyFile: %s >> %s", from, to);
        else
            ++failed;
    } while (FindNextFileA(search.Get(), &found));

    if (failed) {
        m_nFilesNotStaged += failed;
        WriteLog("ERR: Copy the client setup, %d files failed..", failed);
        return 0;
    }
    WriteLog("END: Copy the client setup, SUC..");
    return 1;
}

bool CDriverSetupPreparation::ComposeSourceFolder(char (&path)[kPathRoom], const char* param1,
                                                  const char* folder) const {
    return ComposePath(path, {m_strModuleDir.c_str(), m_bFromSubFolder ? param1 : nullptr, folder},
                       "the package folder");
}

void CDriverSetupPreparation::CopyClientSubFolders(const char* param1, const std::string& folder,
                                                   int levels) {
    char temp[kPathRoom], source[kPathRoom], pattern[kPathRoom];
    // A folder whose path does not fit has been refused, with its line, by the copy of its own files.
    if (!GetStagingRoot(temp) || !ComposeSourceFolder(source, param1, folder.c_str()) ||
        !CopyBounded(pattern, sizeof pattern, source) || !AppendPath(pattern, sizeof pattern, "*"))
        return;
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA(pattern, &found));
    if (!search)
        return; // the copy of the folder's own files has said why
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || strcmp(found.cFileName, ".") == 0 ||
            strcmp(found.cFileName, "..") == 0)
            continue;
        std::string sub = folder + "\\" + found.cFileName;
        const char* relative = sub.c_str() + 1;
        MediumFolderFate fate = DecideMediumFolder(found.dwFileAttributes, levels);
        char from[kPathRoom], to[kPathRoom], room[kPathRoom];
        if (!ComposePath(from, {source, found.cFileName}, relative)) {
            if (fate == MediumFolderFate::kStage)
                ++m_nFilesNotStaged;
            continue;
        }
        if (fate == MediumFolderFate::kSkipLink) {
            WriteLog("ERR: The folder %s is a link; the staging does not follow it, and stages nothing of it",
                     from);
            continue;
        }
        if (fate == MediumFolderFate::kTooDeep) {
            WriteLog("ERR: The folder %s lies more than %d levels below the edition folder; it is not staged",
                     from, kStagedSubFolderLevels);
            continue;
        }
        // The room for the folder's own search too: its copy must not refuse it uncounted.
        if (!ComposePath(room, {from, "*.*"}, relative) ||
            !ComposePath(to, {temp, param1, sub.c_str()}, relative)) {
            ++m_nFilesNotStaged;
            continue;
        }
        if (!CreateDirIfAbsent(to)) {
            WriteLog("ERR: The staged folder %s cannot be made; none of its files are staged", to);
            ++m_nFilesNotStaged;
            continue;
        }
        m_staged.push_back(std::string(relative) + "\\");
        CopyClientSetup(param1, sub.c_str(), nullptr);
        CopyClientSubFolders(param1, sub, levels - 1);
    } while (FindNextFileA(search.Get(), &found));
}

void CDriverSetupPreparation::CopyFileToTmp(std::string file, std::string folder) {
    char temp[kPathRoom];
    if (!GetStagingRoot(temp))
        return;
    char source[kPathRoom], target[kPathRoom];
    if (!FormatBounded(source, sizeof source, "%s%s", m_strModuleDir.c_str(), file.c_str()) ||
        !FormatBounded(target, sizeof target, "%s%s%s%s", temp, folder.c_str(), folder.empty() ? "" : "\\",
                       file.c_str())) {
        WriteLog("ERR: The path of the file %s to copy to temp is too long, refused", file.c_str());
        ++m_nFilesNotStaged;
        return;
    }
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA(source, &found));
    if (!search) {
        WriteLog("ERR: The file %s that need copy to temp isn't exist", source);
        return;
    }
    if (StageFile(source, target, file))
        WriteLog("END: Copy the file %s to temp(%s) success", source, target);
    else
        ++m_nFilesNotStaged;
}

bool CDriverSetupPreparation::StageFile(const char* source, const char* target, const std::string& relative) {
    // The cleaning left no file of an earlier staging; one already there now was written by this staging
    // (a name staged twice) or by another program since, and only the first may be replaced.
    bool ours = false;
    for (const std::string& staged : m_staged)
        ours = ours || _stricmp(staged.c_str(), relative.c_str()) == 0;
    if (ours)
        ForceDeleteFile(target);
    if (!CopyFileA(source, target, TRUE)) {
        LogCopyFailure(source, target);
        return false;
    }
    if (!ours)
        m_staged.push_back(relative);
    return true;
}

bool CDriverSetupPreparation::GetStagedSetupPath(char (&path)[kPathRoom]) {
    char temp[kPathRoom];
    if (!GetStagingRoot(temp))
        return false;
    const std::string& name = StagedSetupName(g_nEdition);
    if (!FormatBounded(path, kPathRoom, "%s%s\\%s", temp, m_strDriverPath.c_str(), name.c_str())) {
        WriteLog("ERR: The path of the staged setup %s is too long, refused", name.c_str());
        return false;
    }
    return true;
}

int CDriverSetupPreparation::ShellExeTmpSetup(std::string drive, int mode) {
    char parameters[kPathRoom];
    if (mode < 0 || mode > 9) {
        WriteLog("ERR: shell exe refused: run mode %d is not one digit", mode);
        return 0;
    }
    if (!ComposeSetupParameters(parameters, sizeof parameters, drive, mode))
        return 0; // two characters, a blank and a digit always fit
    char program[kPathRoom], temp[kPathRoom];
    if (!GetStagedSetupPath(program) || !GetStagingRoot(temp))
        return 0;
    int show = m_role == Role::kInstaller ? SW_HIDE : SW_SHOWNORMAL;
    unsigned code = ShellOpen(program, parameters, temp, show);
    if (!ShellStarted(code)) {
        WriteLog("ERR: shell exe %s with parameter %s failed, code %u", program, parameters, code);
        return 0;
    }
    WriteLog("INF: shell exe %s with parameter %s", program, parameters);
    return 1;
}

int CDriverSetupPreparation::RunPackageSetup(int mode) {
    // Only Vista 64-bit gets the 64-bit name here: on Windows 7 64-bit the 32-bit installer on the medium
    // stages and starts the 64-bit one itself.
    const std::string& name =
        EditionIsVista64(g_nEdition) ? DeviceProfile.DriverInstallNameAMD64 : DeviceProfile.DriverInstallName;
    char program[kPathRoom], parameters[kPathRoom];
    if (!FormatBounded(program, sizeof program, "%s%s\\%s", m_strModuleDir.c_str(), m_strDriverPath.c_str(),
                       name.c_str()) ||
        !FormatBounded(parameters, sizeof parameters, "%.2s %d", m_strModuleDir.c_str(), mode)) {
        WriteLog("ERR: The path of the package setup %s is too long, refused", name.c_str());
        return 0;
    }
    int shellCode = 0;
    if (ShellStartAndWait(program, parameters, &shellCode) == ChildWait::kNotStarted) {
        WriteLog("ERR: ShellExecuteEx %s with para(%s) error,last error:%d...", program, parameters,
                 shellCode);
        return 0;
    }
    WriteLog("INF: Run client %s %s setup, SUC...", program, parameters);
    return 1;
}

int CDriverSetupPreparation::IsProcessRunning(std::string name) {
    return !name.empty() && FindProcessByName(name.c_str()) != 0 ? 1 : 0;
}

int CDriverSetupPreparation::IsSetupRunning() {
    for (const std::string* name :
         {&DeviceProfile.DriverInstallName, &DeviceProfile.DriverInstallNameAMD64}) {
        if (IsProcessRunning(*name)) {
            WriteLog("Program(%s) is running", name->c_str());
            return 1;
        }
    }
    return 0;
}

int CDriverSetupPreparation::IsDeviceAbsent() {
    int absent = 1;
    DetectDevice(DeviceProfile.ProductId.c_str(), DeviceProfile.MassCmpId.c_str(), &absent);
    return absent;
}

CDriverPrepare_Setup::CDriverPrepare_Setup(std::string moduleDir)
    : CDriverSetupPreparation(Role::kInstaller, std::move(moduleDir)) {
    std::string folder = m_strModuleDir;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    size_t slash = folder.rfind('\\');
    m_strDriverPath = slash == std::string::npos ? folder : folder.substr(slash + 1);
    m_bFromSubFolder = 0;
    WriteLog("Info:CDriverPrepare_Setup():m_strDriverPath = %s.", m_strDriverPath.c_str());
    RefuseUnplainDriverPath();
}

CDriverPrepare_Setup::CDriverPrepare_Setup(std::string mediumRoot, std::string driverPath)
    : CDriverSetupPreparation(Role::kInstaller, std::move(mediumRoot)) {
    m_strDriverPath = std::move(driverPath);
    m_bFromSubFolder = 1;
    WriteLog("Info:CDriverPrepare_Setup():m_strDriverPath = %s.", m_strDriverPath.c_str());
    RefuseUnplainDriverPath();
}

CDriverPrepare_Setup::~CDriverPrepare_Setup() = default;

int CDriverPrepare_Setup::StagePackageInto(const std::string& root) {
    m_strStagingRoot = root;
    m_strCfgPath = m_strModuleDir + kAutorunCfgName;
    ReadCfgTexts(kAutorunSection, {{"Key_DllModuleName", m_strDllModuleName}}, m_strCfgPath.c_str());
    // The name is joined to the installer's own folder, which the installer writes as administrator.
    if (!m_strDllModuleName.empty() && !IsPlainFolderName(m_strDllModuleName)) {
        WriteLog("ERR: The plug-in library name '%s' is not one plain file name; it is not staged",
                 m_strDllModuleName.c_str());
        m_strDllModuleName.clear();
    }
    if (!AutoRun_PrepareTmpDriver())
        return 0;
    if (!m_strDllModuleName.empty())
        StageLauncherFiles(kAutorunCfgName);
    return AllFilesStaged() ? 1 : 0;
}

void CDriverSetupPreparation::StageLauncherFiles(const std::string& cfgName) {
    CopyFileToTmp(cfgName, m_strDriverPath);
    CopyFileToTmp(m_strDllModuleName, m_strDriverPath);
    CopyFileToTmp(PluginIniName(m_strDllModuleName), m_strDriverPath);
}

CDriverPrepare_PcOptions::CDriverPrepare_PcOptions() : CDriverPrepare_PcOptions(GetModuleDir()) {}

CDriverPrepare_PcOptions::CDriverPrepare_PcOptions(std::string moduleDir)
    : CDriverSetupPreparation(Role::kLauncher, std::move(moduleDir)) {
    m_strCfgPath = m_strModuleDir + kAutorunCfgName;
    LoadAutorunCfg();
    m_bFromSubFolder = 1;
    WriteLog(
        "Info:CDriverPrepare_PcOptions():m_strCfgPath = %s; m_strDllModuleName = %s; m_strDriverPath = %s.",
        m_strCfgPath.c_str(), m_strDllModuleName.c_str(), m_strDriverPath.c_str());
}

CDriverPrepare_PcOptions::~CDriverPrepare_PcOptions() = default;

void CDriverPrepare_PcOptions::LoadAutorunCfg() {
    // Key_DriverPath is read only once the library's name was read.
    ReadCfgTexts(kAutorunSection,
                 {{"Key_DllModuleName", m_strDllModuleName}, {"Key_DriverPath", m_strDriverPath}},
                 m_strCfgPath.c_str());
    // The library is loaded from beside the launcher and staged into the package folder by its name: one
    // that leads elsewhere would load, or be written, there.
    if (!m_strDllModuleName.empty() && !IsPlainFileName(m_strDllModuleName, ".dll")) {
        WriteLog(
            "ERR: The configuration value Key_DllModuleName=%s of [%s] is not one plain file name ending in "
            ".dll; it cannot be used",
            m_strDllModuleName.c_str(), kAutorunSection);
        m_strDllModuleName.clear();
    }
    RefuseUnplainDriverPath();
}

int CDriverPrepare_PcOptions::AutoRun_CopyAllFiles() {
    if (!AutoRun_PrepareTmpDriver())
        return 0;
    WriteLog("Info: AutoRun_CopyAllFiles():begin subclass operator.");
    StageLauncherFiles(kAutorunCfgName);
    RecordStagedFiles();
    return AllFilesStaged() ? 1 : 0;
}
