// PalvioManagerSetup.exe and PalvioDialSetup.exe: the setups of the sample companion applications, as the
// plug-in starts them (PalvioPlugin.ini: Setup=Setup\PalvioManagerSetup.exe, SetupParameters=/S). One
// 32-bit setup serves every Windows: it resolves the native Program Files folder and writes its uninstall
// entry in the native registry view, so that on 64-bit Windows the application lies in "Program Files" (not
// "Program Files (x86)") and Windows lists it with the others. The program and the uninstaller travel
// inside the setup as resources: an elevated setup reads nothing from the folder it was started from.
//
//   Setup [/S]                 installs; /S without asking or telling anything
//   Uninstall.exe /uninstall [/S]
//                              removes what the setup wrote: the program, the uninstaller, the uninstall
//                              entry, and the folders when they are empty (the uninstaller itself, running,
//                              and its folder go when Windows restarts)
//
// Exit status: 0 done; 1 an unusable command line; 2 the install folder cannot be had (no native Program
// Files, a path past its room, a folder that cannot be made); 3 a file could not be written (or the setup
// carries no program); 4 the uninstall entry could not be written; 5 a file this setup did not write is in
// the way (nothing changed); 6 uninstall: the application is not installed by this setup; 7 uninstall: a file
// could not be removed (the program runs, say; nothing else changed); 8 uninstall: the entry could not be
// removed.
#include "companion_name.h"
#include "setup_resources.h"

#include "common/dll_search.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/newer_api.h"
#include "common/program_files.h"
#include "common/text.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

enum ExitCode {
    kDone = 0,
    kUnusable = 1,
    kNoFolder = 2,
    kNotWritten = 3,
    kNotRegistered = 4,
    kInTheWay = 5,
    kNotInstalled = 6,
    kNotRemoved = 7,
    kEntryKept = 8,
};

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" COMPANION_KEY;
const char kUninstaller[] = "Uninstall.exe";

struct Request {
    bool silent = false;
    bool uninstall = false;
};

// "/S" (as the plug-in's .ini passes it) and "/uninstall", in any order, blanks between them.
bool ParseCommandLine(const char* text, Request& request) {
    std::string line = text ? text : "";
    size_t at = 0;
    while ((at = line.find_first_not_of(" \t", at)) != std::string::npos) {
        size_t end = line.find_first_of(" \t", at);
        std::string word = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (word == "/S" || word == "/s")
            request.silent = true;
        else if (_stricmp(word.c_str(), "/uninstall") == 0)
            request.uninstall = true;
        else
            return false;
        at = end;
    }
    return true;
}

// Where this application lives: <native Program Files>\Palvio\<title>, its parent, and its two files.
struct Places {
    char parent[kPathRoom];
    char folder[kPathRoom];
    char program[kPathRoom];
    char uninstaller[kPathRoom];
};

bool GetPlaces(Places& places) {
    char programFiles[kPathRoom];
    if (!GetNativeProgramFiles(programFiles))
        return false;
    if (FormatBounded(places.folder, sizeof places.folder, "%s\\%s", programFiles, COMPANION_FOLDER) &&
        FormatBounded(places.program, sizeof places.program, "%s\\%s", places.folder, COMPANION_PROGRAM) &&
        FormatBounded(places.uninstaller, sizeof places.uninstaller, "%s\\%s", places.folder, kUninstaller) &&
        CopyBounded(places.parent, sizeof places.parent, places.folder)) {
        *strrchr(places.parent, '\\') = '\0';
        return true;
    }
    WriteLog("ERR: " COMPANION_KEY " setup: the folder in %s does not fit a path", programFiles);
    return false;
}

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder the uninstall entry names (empty without an entry): where this setup installed before.
std::string InstalledLocation() {
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE | NativeRegistryView(),
                      key.Receive()) != ERROR_SUCCESS)
        return std::string();
    char location[kPathRoom] = {};
    DWORD type = 0, size = sizeof location - 1;
    if (RegQueryValueExA(key.Get(), "InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(location),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    location[size] = '\0';
    return location;
}

bool MakeFolder(const char* folder) {
    if (CreateDirectoryA(folder, nullptr) || IsFolder(folder))
        return true;
    WriteLog("ERR: " COMPANION_KEY " setup: cannot make %s, error %lu", folder, GetLastError());
    return false;
}

// Writes the resource as the file; a file cut short is deleted again (it is this setup's own).
bool WriteResource(int id, const char* path) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = found ? SizeofResource(nullptr, found) : 0;
    if (!data || size == 0) {
        WriteLog("ERR: " COMPANION_KEY " setup: carries no %s", path);
        return false;
    }
    DWORD written = 0;
    bool whole;
    {
        ScopedFileHandle file(
            CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            WriteLog("ERR: " COMPANION_KEY " setup: cannot write %s, error %lu", path, GetLastError());
            return false;
        }
        whole = WriteFile(file.Get(), data, size, &written, nullptr) && written == size;
    }
    if (!whole) {
        WriteLog("ERR: " COMPANION_KEY " setup: %s was written only in part", path);
        DeleteFileA(path);
    }
    return whole;
}

bool SetText(HKEY key, const char* name, const char* value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(strlen(value) + 1)) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

bool Register(const Places& places) {
    char uninstall[kPathRoom], quiet[kPathRoom];
    if (!FormatBounded(uninstall, sizeof uninstall, "\"%s\" /uninstall", places.uninstaller) ||
        !FormatBounded(quiet, sizeof quiet, "\"%s\" /uninstall /S", places.uninstaller)) {
        WriteLog("ERR: " COMPANION_KEY " setup: the uninstall command does not fit");
        return false;
    }
    ScopedRegKey key;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE | NativeRegistryView(), nullptr, key.Receive(), nullptr);
    bool written = result == ERROR_SUCCESS && SetText(key.Get(), "DisplayName", COMPANION_TITLE) &&
                   SetText(key.Get(), "DisplayVersion", COMPANION_VERSION) &&
                   SetText(key.Get(), "Publisher", COMPANION_PUBLISHER) &&
                   SetText(key.Get(), "InstallLocation", places.folder) &&
                   SetText(key.Get(), "DisplayIcon", places.program) &&
                   SetText(key.Get(), "UninstallString", uninstall) &&
                   SetText(key.Get(), "QuietUninstallString", quiet) && SetNumber(key.Get(), "NoModify", 1) &&
                   SetNumber(key.Get(), "NoRepair", 1);
    if (!written)
        WriteLog("ERR: " COMPANION_KEY " setup: cannot write the uninstall entry, error %ld", result);
    return written;
}

ExitCode Install(const Places& places) {
    // A file of the same name that no earlier install of this setup wrote belongs to someone else.
    bool ours = _stricmp(InstalledLocation().c_str(), places.folder) == 0;
    for (const char* path : {places.program, places.uninstaller}) {
        if (!ours && Exists(path)) {
            WriteLog("ERR: " COMPANION_KEY
                     " setup: %s is in the way, and not of this setup: nothing installed",
                     path);
            return kInTheWay;
        }
    }
    if (!MakeFolder(places.parent) || !MakeFolder(places.folder))
        return kNoFolder;
    if (!WriteResource(IDR_COMPANION_PROGRAM, places.program) ||
        !WriteResource(IDR_COMPANION_UNINSTALLER, places.uninstaller))
        return kNotWritten;
    if (!Register(places))
        return kNotRegistered;
    WriteLog("INF: " COMPANION_KEY " setup: installed %s", places.program);
    return kDone;
}

// Removes a file now, or when Windows restarts where it is in use (the running uninstaller).
bool RemoveFile(const char* path, bool running) {
    if (!Exists(path) || DeleteFileA(path))
        return true;
    return running && MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// An empty folder goes now, or (later) when Windows restarts; one that still holds anything stays.
void RemoveFolder(const char* folder, bool later) {
    if (!RemoveDirectoryA(folder) && later)
        MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

ExitCode Uninstall(const Places& places) {
    std::string location = InstalledLocation();
    if (_stricmp(location.c_str(), places.folder) != 0) {
        WriteLog("ERR: " COMPANION_KEY " setup: not installed in %s (the entry names <%s>): nothing removed",
                 places.folder, location.c_str());
        return kNotInstalled;
    }
    char self[kPathRoom] = {};
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    bool running = length > 0 && length < sizeof self && _stricmp(self, places.uninstaller) == 0;
    if (!RemoveFile(places.program, false)) {
        WriteLog("ERR: " COMPANION_KEY " setup: cannot remove %s, error %lu: nothing else removed",
                 places.program, GetLastError());
        return kNotRemoved;
    }
    if (!RemoveFile(places.uninstaller, running)) {
        WriteLog("ERR: " COMPANION_KEY " setup: cannot remove %s, error %lu", places.uninstaller,
                 GetLastError());
        return kNotRemoved;
    }
    RemoveFolder(places.folder, running);
    RemoveFolder(places.parent, running);
    // RegDeleteKeyA of a 32-bit program deletes in the 32-bit view only.
    const NewerApi& api = GetNewerApi();
    REGSAM view = NativeRegistryView();
    LONG result = api.RegDeleteKeyExA ? api.RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, view, 0)
                  : view == 0         ? RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey)
                                      : ERROR_CALL_NOT_IMPLEMENTED;
    if (result != ERROR_SUCCESS) {
        WriteLog("ERR: " COMPANION_KEY " setup: cannot remove the uninstall entry, error %ld", result);
        return kEntryKept;
    }
    WriteLog("INF: " COMPANION_KEY " setup: removed %s", places.program);
    return kDone;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Run elevated from the medium or the install folder: no library by name from there.
    RestrictDllSearch();
    InitLogFile();
    Request request;
    if (!ParseCommandLine(commandLine, request)) {
        WriteLog("ERR: " COMPANION_KEY " setup: unusable command line <%s>; use [/S] or /uninstall [/S]",
                 commandLine);
        if (!request.silent)
            MessageBoxA(nullptr, "Use: [/S] to install, /uninstall [/S] to remove.", COMPANION_TITLE " Setup",
                        MB_OK | MB_ICONERROR);
        return kUnusable;
    }
    Places places;
    if (!GetPlaces(places))
        return kNoFolder;
    if (!request.silent) {
        char question[2 * kPathRoom];
        FormatBounded(question, sizeof question,
                      request.uninstall ? "Remove %s from %s?" : "Install %s into %s?", COMPANION_TITLE,
                      places.folder);
        if (MessageBoxA(nullptr, question, COMPANION_TITLE " Setup", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return kDone;
    }
    ExitCode result = request.uninstall ? Uninstall(places) : Install(places);
    if (!request.silent)
        MessageBoxA(nullptr,
                    result == kDone ? (request.uninstall ? COMPANION_TITLE " is removed."
                                                         : COMPANION_TITLE " is installed.")
                                    : "The setup failed; the diagnostic log tells why.",
                    COMPANION_TITLE " Setup", MB_OK | (result == kDone ? MB_ICONINFORMATION : MB_ICONERROR));
    return result;
}
