#include "cdrom_folders.h"

#include "shell_folder_windows.h"

#include "common/clock.h"
#include "common/edition.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"

#include <cstring>

namespace {

const char kMountedDevicesKey[] = "SYSTEM\\MountedDevices";
const char kFolderWindowClass[] = "CabinetWClass";
// Messages that hold the full-width colon of code page 936 (bytes A3 BA).
#define FULLWIDTH_COLON "\xA3\xBA"

constexpr DWORD kAddressAnswerLimit = 5000;

// What the two enumeration callbacks share during one CloseCdromFolders.
struct FolderSearch {
    std::string drive;        // as given, for the log
    std::string loweredDrive; // what the address must contain
    const char* addressClass;
    bool found;
    HANDLE stop;
    DWORD start;        // ClockTickCount when the search began
    bool ended = false; // stopped or out of time: nothing more is looked at

    // Whether the search goes on; the first time it may not, says why.
    bool GoesOn() {
        if (ended)
            return false;
        if (stop && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
            WriteLog("INF: The search of the folder windows stops: the installer is to end");
            ended = true;
        } else if (AddressAnswerLimit(ClockTickCount() - start) == 0) {
            WriteLog(
                "ERR: The search of the folder windows took its %lu s; the windows not yet looked at stay "
                "open",
                static_cast<unsigned long>(kFolderSearchLimit / 1000));
            ended = true;
        }
        return !ended;
    }
};

BOOL CALLBACK AddressWindowProc(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<FolderSearch*>(context);
    if (!search->GoesOn())
        return FALSE;
    char className[kPathRoom] = {};
    GetClassNameA(window, className, sizeof className);
    char text[kPathRoom] = {};
    DWORD_PTR copied = 0;
    // A hung window costs at most five seconds, never more than the search has left, and shows no text.
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, AddressAnswerLimit(ClockTickCount() - search->start), &copied))
        text[0] = '\0';
    text[sizeof text - 1] = '\0';
    if (!AddressShowsDrive(className, text, search->addressClass, search->loweredDrive.c_str()))
        return TRUE;
    search->found = true;
    WriteLog("Find Windows classs is: %s; Directory is" FULLWIDTH_COLON "%s", className,
             LowerAscii(text).c_str());
    return FALSE;
}

BOOL CALLBACK FolderWindowProc(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<FolderSearch*>(context);
    if (!search->GoesOn())
        return FALSE;
    char className[kPathRoom] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, kFolderWindowClass) != 0)
        return TRUE;
    search->found = false;
    EnumChildWindows(window, AddressWindowProc, context);
    if (search->found) {
        WriteLog("Find Windows Path is" FULLWIDTH_COLON "%s", search->drive.c_str());
        WriteLog("Close Window.");
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE; // every folder window that shows the drive is closed
}

void SearchByAddressControl(FolderSearch& search) {
    EnumDesktopWindows(GetThreadDesktop(GetCurrentThreadId()), FolderWindowProc,
                       reinterpret_cast<LPARAM>(&search));
}

// 1 when the shell's list could be read and every window it lists on the drive was closed; 0 when the list
// could not be read, and the address controls must be searched instead.
int CloseListedFolderWindows(const FolderSearch& search) {
    std::vector<ShellFolderWindow> windows;
    HRESULT failure = S_OK;
    if (!ListShellFolderWindows(windows, failure)) {
        WriteLog("ERR: The shell's list of folder windows cannot be read (0x%08lX); the folder windows are "
                 "searched by their address control",
                 static_cast<unsigned long>(failure));
        return 0;
    }
    for (const ShellFolderWindow& window : windows) {
        if (!LocationShowsDrive(window.location, search.drive))
            continue;
        WriteLog("The shell lists a folder window at %s", LowerAscii(window.location).c_str());
        WriteLog("Find Windows Path is" FULLWIDTH_COLON "%s", search.drive.c_str());
        WriteLog("Close Window.");
        PostMessageA(window.window, WM_CLOSE, 0, 0);
    }
    return 1;
}

} // namespace

int MatchDeviceCdromDrives(const std::vector<std::string>& drives, std::string sign, std::string& drive,
                           int& count) {
    sign = LowerAscii(sign);
    int matched = 0;
    for (const std::string& candidate : drives) {
        char valueName[kPathRoom];
        if (!FormatBounded(valueName, sizeof valueName, "\\DosDevices\\%s", candidate.c_str())) {
            WriteLog("ERR: The drive name %.32s... is too long, not counted", candidate.c_str());
            continue;
        }
        unsigned char* raw = nullptr;
        DWORD size = 0;
        int read = GetRegKeyValueAlloc(kMountedDevicesKey, valueName, &raw, &size);
        MallocBuffer record(raw);
        if (!read)
            continue;
        if (size > kLongestMountedRecord) {
            WriteLog("ERR: The mounted device record of %s is %lu bytes long, not counted", candidate.c_str(),
                     size);
            continue;
        }
        RecordMatch match = RecordHoldsSign(record.get(), size, sign);
        if (match == RecordMatch::kNoMemory)
            return 0;
        if (match == RecordMatch::kYes) {
            ++matched;
            drive = candidate;
        }
    }
    count = matched;
    return 1;
}

const char* AddressClassForEdition(int edition) {
    return EditionIsBeforeVista(edition) ? "Edit" : "ToolbarWindow32";
}

DWORD AddressAnswerLimit(DWORD elapsed) {
    if (elapsed >= kFolderSearchLimit)
        return 0;
    DWORD left = kFolderSearchLimit - elapsed;
    return left < kAddressAnswerLimit ? left : kAddressAnswerLimit;
}

int CloseCdromFolders(const char* drive, HANDLE stop) {
    WriteLog(">>Enum Desktop Windows begin");
    // An empty drive text would be found in every address and close every folder window.
    if (drive && *drive) {
        FolderSearch search{drive, LowerAscii(drive), AddressClassForEdition(g_nEdition), false,
                            stop,  ClockTickCount()};
        if (!EditionIsWindows8OrLater(g_nEdition) || !CloseListedFolderWindows(search))
            SearchByAddressControl(search);
    } else {
        WriteLog("ERR: No drive to look for in the folder windows");
    }
    WriteLog("<<Enum Desktop Windows end");
    return 1;
}
