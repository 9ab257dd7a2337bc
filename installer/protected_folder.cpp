#include "protected_folder.h"

#include "common/log.h"
#include "common/plain_files.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

namespace {

const char kSystemSid[] = "S-1-5-18";
const char kAdministratorsSid[] = "S-1-5-32-544";
// Windows' servicing account, which owns and may change the Program Files folders: only the system and the
// administrators act as it.
const char kTrustedInstallerSid[] = "S-1-5-80-956008885-3418522649-1831038044-1850103356-4261254000";

// Every right that changes a folder, its contents, its list or its owner.
constexpr DWORD kChangingRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                  FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                  GENERIC_ALL | MAXIMUM_ALLOWED;

// Folders that the installer may make below {WinDir}\Temp before it gives up: a user who made the first
// names cannot keep it from its own for long.
constexpr int kProtectedFolderNumbers = 100;

bool IsTrustedSid(const std::string& sid) {
    return sid == kSystemSid || sid == kAdministratorsSid || sid == kTrustedInstallerSid;
}

std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!sid || !ConvertSidToStringSidA(sid, &text))
        return std::string();
    std::string result = text;
    LocalFree(text);
    return result;
}

// The access list as entries; false when an entry cannot be read.
bool ReadEntries(PACL list, std::vector<AccessEntry>& entries) {
    for (DWORD i = 0; i < list->AceCount; ++i) {
        void* raw = nullptr;
        if (!GetAce(list, i, &raw))
            return false;
        auto* header = static_cast<ACE_HEADER*>(raw);
        AccessEntry entry;
        entry.inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
            entry.mask = ace->Mask;
            entry.sid = SidText(&ace->SidStart);
        } else if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            entry.allows = false;
        } else {
            // An entry of another kind (an object or a callback entry) is not one a folder of ours holds:
            // counted as one that may let anyone change it.
            entry.mask = GENERIC_ALL;
        }
        entries.push_back(entry);
    }
    return true;
}

} // namespace

const char kProtectedFolderDescriptor[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)";

bool KeepsOthersOut(const std::string& ownerSid, bool hasList, const std::vector<AccessEntry>& entries) {
    if (!IsTrustedSid(ownerSid) || !hasList)
        return false;
    return std::none_of(entries.begin(), entries.end(), [](const AccessEntry& entry) {
        return entry.allows && !entry.inheritOnly && (entry.mask & kChangingRights) != 0 &&
               !IsTrustedSid(entry.sid);
    });
}

bool DescriptorKeepsOthersOut(PSECURITY_DESCRIPTOR descriptor) {
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE, hasList = FALSE, listDefaulted = FALSE;
    PACL list = nullptr;
    if (!descriptor || !GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted) ||
        !GetSecurityDescriptorDacl(descriptor, &hasList, &list, &listDefaulted))
        return false;
    std::vector<AccessEntry> entries;
    bool present = hasList && list;
    if (present && !ReadEntries(list, entries))
        return false;
    return KeepsOthersOut(SidText(owner), present, entries);
}

bool HoldFolderThatKeepsOthersOut(const std::string& folder, ScopedFileHandle& hold) {
    hold.Reset();
    ScopedFileHandle opened(CreateFileA(folder.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION facts;
    if (!opened || !GetFileInformationByHandle(opened.Get(), &facts) ||
        !(facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(opened.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    bool keeps = DescriptorKeepsOthersOut(descriptor);
    LocalFree(descriptor);
    if (keeps)
        hold = std::move(opened);
    return keeps;
}

bool MakeProtectedFolder(std::string& root) {
    char windows[kPathRoom];
    if (!GetWindowsFolder(windows)) {
        WriteLog("ERR: The Windows folder is not known; the installer has no folder of its own to work from");
        return false;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kProtectedFolderDescriptor, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        WriteLog("ERR: The access list of the installer's own folder cannot be made, error %lu",
                 GetLastError());
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    bool made = false;
    char path[kPathRoom] = {};
    for (int number = 1; number <= kProtectedFolderNumbers && !made; ++number) {
        if (!FormatBounded(path, sizeof path, "%s\\temp\\Instoria-%d", windows, number)) {
            WriteLog("ERR: The path of the installer's own folder below %s is too long", windows);
            break;
        }
        // Only a folder made here and now is the installer's: an existing one is passed by, whoever made it.
        if (CreateDirectoryA(path, &attributes)) {
            made = true;
        } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
            WriteLog("ERR: The installer's own folder %s cannot be made, error %lu", path, GetLastError());
            break;
        }
    }
    LocalFree(descriptor);
    if (!made) {
        WriteLog("ERR: The installer found no free name for a folder of its own below %s\\temp", windows);
        return false;
    }
    root = std::string(path) + "\\";
    WriteLog("INF: The installer works from %s, a folder that only administrators can change", path);
    return true;
}

void RemoveAtRestart(const std::string& root, const std::vector<std::string>& paths) {
    std::vector<std::string> files, folders;
    for (const std::string& path : paths)
        (!path.empty() && path.back() == '\\' ? folders : files).push_back(root + path);
    // A folder is removed only once it is empty: its files, and the folders inside it, whose paths are
    // longer, go first.
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    files.insert(files.end(), folders.begin(), folders.end());
    files.push_back(root);
    int refused = 0;
    for (std::string& path : files) {
        if (path.size() > 1 && path.back() == '\\')
            path.pop_back();
        if (!MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            ++refused;
    }
    if (refused)
        WriteLog("ERR: %d of the installer's own files in %s cannot be marked for removal at restart",
                 refused, root.c_str());
    else
        WriteLog("INF: The installer's own copy in %s goes when Windows restarts", root.c_str());
}
