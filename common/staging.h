// Staging of the driver package: a setup program cannot run from the device's read-only CD-ROM, so the
// package folder (with its edition folder, that folder's subfolders, and Res) is copied into the temp folder
// and the setup program is started from there. The installer stages its own folder; the launcher stages the
// package folder that its autoruncfg.cfg names, plus that file and the plug-in library beside it.
#pragma once

#include "text.h"

#include <windows.h>

#include <string>
#include <vector>

// How deep below the edition folder the staging goes: a maker's package keeps each architecture's driver
// files in a subfolder or two that its INFs name, never deeper than this.
constexpr int kStagedSubFolderLevels = 4;

// What the staging does with a folder it finds in the edition folder on the medium, levelsLeft more levels
// allowed below: a link (any reparse point) is never followed, so that nothing outside the package is staged
// under the package's name; a folder past the levels is left.
enum class MediumFolderFate { kStage, kSkipLink, kTooDeep };
MediumFolderFate DecideMediumFolder(DWORD attributes, int levelsLeft);

class CDriverSetupPreparation {
public:
    virtual ~CDriverSetupPreparation();
    CDriverSetupPreparation(const CDriverSetupPreparation&) = delete;
    CDriverSetupPreparation& operator=(const CDriverSetupPreparation&) = delete;

    // Creates {Temp}{DriverPath}, its edition folder (with its subfolders) and Res, copies the package's
    // files into them and
    // records what it wrote. 1 done, 0 nothing to stage, an installer of the package at work, a folder that
    // could not be made or cleaned, an unsupported edition, or a file found on the medium that could not be
    // copied (a missing source folder only leaves its log line).
    int AutoRun_PrepareTmpDriver();
    // 1 when {Temp}N, {Temp}N{Edition} and {Temp}N\Res all exist, {Temp}N cleaned first (see
    // ClearStagingFolder) and the others made.
    int AutoRun_CreateTmpSysDrvDir(std::string driverPath);
    // Cleans {Temp}N (base) of what an earlier staging wrote there and moves aside what anyone else put
    // there (see CleanStagingFolder). False (logged) when something stays, or when the package folder
    // itself lies in base.
    bool ClearStagingFolder(const char* base, const std::string& driverPath);
    // Whether an installer of this package runs (its mutex exists, or another process has either installer
    // name): then its program folder, the staging folder, must not change. Logged when so.
    bool InstallerAtWork();
    // The edition folder ("\Win7", ...) of g_nEdition; 0 with folder untouched for an unknown edition.
    int AutoRun_GetTmpSysDrvDirName(std::string& folder);
    // 1 when the folder exists or was made (its parent must exist).
    int CreateDirIfAbsent(const char* path);
    // Copies the package folder N's own files, then the edition folder's with its subfolders, then Res's
    // own files. 0 for an unknown edition, or when a file found could not be copied.
    int AutoRun_CopyAllFiles(std::string driverPath);
    // Copies the plain files of one source folder into {Temp}param1[param2]. The source is {ModuleDir}
    // (or {ModuleDir}param1 when m_bFromSubFolder) followed by param3, or param2 when param3 is null.
    // 1 every file copied; 0 the source folder was not found, a path did not fit or a file failed to copy.
    int CopyClientSetup(const char* param1, const char* param2, const char* param3);
    // Stages the subfolders of {ModuleDir}[param1]folder into {Temp}param1folder, levels deep: each is made
    // there and recorded, and its plain files copied with CopyClientSetup. A link, or a folder deeper, is
    // left (logged); a folder that cannot be made or whose path does not fit counts as a file not staged.
    void CopyClientSubFolders(const char* param1, const std::string& folder, int levels);
    // Copies {ModuleDir}file into {Temp}folder\ (or {Temp} for an empty folder), logging the outcome.
    void CopyFileToTmp(std::string file, std::string folder);
    // Starts the staged setup program of the edition, {Temp}{DriverPath}\name, with the drive letter, a
    // colon, a blank and the mode digit, without waiting. 1 started; 0 refused or the start failed.
    int ShellExeTmpSetup(std::string drive, int mode);
    // Runs the setup program in the package folder on the medium with "X: mode" and waits for it to end.
    // 1 started and ended, 0 the start failed.
    int RunPackageSetup(int mode);
    // 1 when a process of that executable file name runs (either case), else 0 (also for an empty name).
    int IsProcessRunning(std::string name);
    // 1 when either installer of the profile runs.
    int IsSetupRunning();
    // 1 unless the device is present in its storage mode (also when the devices cannot be listed).
    int IsDeviceAbsent();

    // {Temp}{DriverPath}\ and the edition's setup name: what ShellExeTmpSetup starts. False (logged) when
    // the temp folder is unknown or the path does not fit.
    bool GetStagedSetupPath(char (&path)[kPathRoom]);
    // {ModuleDir}: the folder the package is staged from (or below which it lies).
    const std::string& ModuleDir() const { return m_strModuleDir; }

    std::string m_strDriverPath;    // package folder name, relative to {ModuleDir} and {Temp}
    std::string m_strCfgPath;       // autoruncfg.cfg (launcher only)
    std::string m_strDllModuleName; // plug-in library file name (launcher only)
    int m_bFromSubFolder = 0;       // 1: the package lies in {ModuleDir}{DriverPath}, not in {ModuleDir}

protected:
    // The two programs stage alike but differ in a log line and in how the staged installer is shown.
    enum class Role { kInstaller, kLauncher };
    CDriverSetupPreparation(Role role, std::string moduleDir);

    // Where the package folder is made: {Temp}, or a fresh folder of the caller's (see m_strStagingRoot).
    // False (logged) when the temp folder cannot be had.
    bool GetStagingRoot(char (&path)[kPathRoom]) const;
    // Stages the launcher's configuration, the plug-in library and its .ini beside the package.
    void StageLauncherFiles(const std::string& cfgName);

    // Whether every file found was staged; logged when not. A staged package with a file missing (a full
    // disk, a medium taken out while it was copied) must not be started as if it were whole.
    bool AllFilesStaged() const;
    // {ModuleDir}, then param1 when m_bFromSubFolder, then folder: where a staged folder comes from. False
    // (logged) when it does not fit.
    bool ComposeSourceFolder(char (&path)[kPathRoom], const char* param1, const char* folder) const;
    // Copies one file into the cleaned staging folder (relative: its path there), never over a file this
    // staging did not write. False (logged) when the copy failed.
    bool StageFile(const char* source, const char* target, const std::string& relative);
    // Writes the staging folder's record of m_staged, so that the next staging removes only these.
    void RecordStagedFiles();
    // A package folder name that is not one plain folder name is logged and refused (left empty), so that
    // nothing is staged under it.
    void RefuseUnplainDriverPath();

    Role m_role;
    std::string m_strModuleDir; // {ModuleDir}: the running program's folder, with its trailing backslash
    // A folder the caller has just made for this staging alone (with its trailing backslash), in place of
    // {Temp}: nothing of anyone else's can be in it, so it is neither cleaned nor given a record, and no
    // installer at work can run from it. Empty: {Temp}.
    std::string m_strStagingRoot;
    int m_nFilesNotStaged = 0;         // files found on the medium that could not be copied, this staging
    std::vector<std::string> m_staged; // what this staging wrote, relative to {Temp}{DriverPath}
    bool m_bRecordWritten = false;     // this staging has written the folder's record
};

// The installer's staging: the package folder is the installer's own folder.
class CDriverPrepare_Setup : public CDriverSetupPreparation {
public:
    // The package folder moduleDir itself (its name is the package folder's name).
    explicit CDriverPrepare_Setup(std::string moduleDir);
    // The package folder driverPath of the medium whose root is mediumRoot.
    CDriverPrepare_Setup(std::string mediumRoot, std::string driverPath);
    ~CDriverPrepare_Setup() override;

    // Stages the package into root, a folder the caller has just made, with the launcher's configuration and
    // the plug-in library (and its .ini) that the medium's autoruncfg.cfg names, so that the tools started
    // from there find them beside themselves. 1 done, 0 failed.
    int StagePackageInto(const std::string& root);
    // The staged paths, relative to the staged package folder (a folder's ending in a backslash).
    const std::vector<std::string>& StagedPaths() const { return m_staged; }
};

// The launcher's staging: the package folder is named by autoruncfg.cfg beside the launcher, and the
// configuration and the plug-in library (with its .ini) are staged with it.
class CDriverPrepare_PcOptions : public CDriverSetupPreparation {
public:
    CDriverPrepare_PcOptions();
    explicit CDriverPrepare_PcOptions(std::string moduleDir);
    ~CDriverPrepare_PcOptions() override;

    // Reads Key_DllModuleName and then Key_DriverPath; a value that cannot be read, a library name that is
    // not one plain file name ending in .dll, or a package folder name that is not one plain folder name,
    // stays empty.
    void LoadAutorunCfg();
    // The whole staging of the launcher: the package, then the three extra files. 1 done, 0 failed.
    int AutoRun_CopyAllFiles();
};

// The setup program the staged start runs on an edition: the 64-bit installer on a 64-bit Windows.
const std::string& StagedSetupName(int edition);
// The staged installer's parameter text: the drive's first two characters (letters upper-cased), a blank
// and the mode digit. False for a mode outside 0-9 or a text that does not fit.
bool ComposeSetupParameters(char* out, size_t room, const std::string& drive, int mode);
// Every ".dll" of a name replaced by ".ini" (case-sensitive, as the library's .ini is named).
std::string PluginIniName(std::string dllName);
