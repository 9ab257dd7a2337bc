#include "staging_folder.h"

#include "file_contents.h"
#include "files.h"
#include "handles.h"
#include "log.h"

#include <cstring>

const char kStagingRecordName[] = "StagedFiles.txt";

namespace {

// Aside folders tried before the cleaning gives up: far more than a user's temp folder ever holds.
constexpr int kAsideFolders = 999;
// A package of a few dozen files writes a record of a few kilobytes.
constexpr DWORD kLargestRecord = 1u << 20;

bool IsPlainPart(const std::string& part) {
    return !part.empty() && part != "." && part != ".." && part.back() != '.' && part.back() != ' ';
}

// Empties and moves aside one staging folder, remembering the aside folder once it is made.
class StagingCleaner {
public:
    StagingCleaner(std::string folder, std::set<std::string> recorded)
        : m_folder(std::move(folder)), m_recorded(std::move(recorded)) {}

    // Handles every entry of folder (relative: its path below the staging folder, with a trailing
    // backslash, or empty for the staging folder itself). False when something stayed.
    bool CleanFolder(const std::string& folder, const std::string& relative) {
        std::string pattern = folder + "\\*";
        if (pattern.size() >= kPathRoom) {
            WriteLog("ERR: The path of %s is too long, the staging folder is not cleaned", pattern.c_str());
            return false;
        }
        WIN32_FIND_DATAA found;
        ScopedFindHandle search(FindFirstFileA(pattern.c_str(), &found));
        if (!search)
            return true;
        bool clean = true;
        do {
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
                continue;
            bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            std::string entryRelative = relative + found.cFileName + (directory ? "\\" : "");
            if (!CleanEntry(folder + "\\" + found.cFileName, entryRelative, found))
                clean = false;
        } while (FindNextFileA(search.Get(), &found));
        return clean;
    }

    // The staging folder itself: entered when it is a folder, removed when it is a link.
    bool CleanStagingFolder() {
        WIN32_FIND_DATAA found;
        ScopedFindHandle search(FindFirstFileA(m_folder.c_str(), &found));
        if (!search || !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            return true; // nothing there, or a file the folder's creation refuses
        switch (DecideStagedEntry(found.dwFileAttributes, found.dwReserved0, true)) {
        case StagedEntryFate::kEnter:
            return CleanFolder(m_folder, "");
        case StagedEntryFate::kRemoveLink:
            return RemoveLink(m_folder, found.dwFileAttributes);
        default:
            WriteLog("ERR: The staging folder %s is neither a folder nor a link; nothing is staged",
                     m_folder.c_str());
            return false;
        }
    }

private:
    bool CleanEntry(const std::string& path, const std::string& relative, const WIN32_FIND_DATAA& found) {
        if (path.size() >= kPathRoom) {
            WriteLog("ERR: The path of %s is too long, it stays in the staging folder", path.c_str());
            return false;
        }
        std::string lowered = relative;
        LowerToFirstZero(lowered);
        bool recorded = lowered == LoweredRecordName() || m_recorded.count(lowered) != 0;
        switch (DecideStagedEntry(found.dwFileAttributes, found.dwReserved0, recorded)) {
        case StagedEntryFate::kEnter:
            if (!CleanFolder(path, relative))
                return false;
            // The folder goes too, so that one a later package no longer holds (a maker's x86 subfolder, say)
            // does not stay behind as nobody's. One that cannot go (some program's current folder) is empty
            // and the staging's own: the staging uses it as it is.
            if (!RemoveDirectoryA(path.c_str()))
                WriteLog("INF: The staged folder %s stays, error %lu", path.c_str(), GetLastError());
            return true;
        case StagedEntryFate::kDelete:
            if (ForceDeleteFile(path.c_str()))
                return true;
            WriteLog("ERR: %s cannot be removed, error %lu", path.c_str(), GetLastError());
            return false;
        case StagedEntryFate::kRemoveLink:
            return RemoveLink(path, found.dwFileAttributes);
        case StagedEntryFate::kMoveAside:
            return MoveAside(path, relative);
        }
        return false;
    }

    static const std::string& LoweredRecordName() {
        static const std::string name = [] {
            std::string lowered = kStagingRecordName;
            LowerToFirstZero(lowered);
            return lowered;
        }();
        return name;
    }

    static bool RemoveLink(const std::string& path, DWORD attributes) {
        // The link goes, what it points to stays: neither call follows it.
        bool removed = attributes & FILE_ATTRIBUTE_DIRECTORY ? RemoveDirectoryA(path.c_str()) != FALSE
                                                             : DeleteFileA(path.c_str()) != FALSE;
        if (removed)
            WriteLog("INF: The link %s in the staging folder is removed, not followed", path.c_str());
        else
            WriteLog("ERR: The link %s cannot be removed, error %lu", path.c_str(), GetLastError());
        return removed;
    }

    // Moves the entry into the aside folder under the same relative path; a folder goes whole.
    bool MoveAside(const std::string& path, std::string relative) {
        if (!relative.empty() && relative.back() == '\\')
            relative.pop_back();
        if (!MakeAsideFolder())
            return false;
        std::string target = m_aside;
        for (size_t slash = relative.find('\\'); slash != std::string::npos;
             slash = relative.find('\\', slash + 1)) {
            std::string parent = m_aside + "\\" + relative.substr(0, slash);
            if (!CreateDirectoryA(parent.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                break; // the move below fails and says so
        }
        target += "\\" + relative;
        // MoveFileA never replaces: the aside folder is new, and what it holds came from the staging folder.
        if (target.size() < kPathRoom && MoveFileA(path.c_str(), target.c_str())) {
            WriteLog("INF: %s was not staged by this package; moved aside to %s", path.c_str(),
                     target.c_str());
            return true;
        }
        WriteLog("ERR: %s was not staged by this package and cannot be moved aside to %s, error %lu",
                 path.c_str(), target.c_str(), GetLastError());
        return false;
    }

    bool MakeAsideFolder() {
        if (!m_aside.empty())
            return true;
        for (int number = 1; number <= kAsideFolders; ++number) {
            std::string aside = m_folder + ".aside-" + std::to_string(number);
            if (aside.size() >= kPathRoom)
                break;
            if (CreateDirectoryA(aside.c_str(), nullptr)) {
                m_aside = aside;
                return true;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
        WriteLog("ERR: No folder to move aside what the staging folder %s holds, error %lu", m_folder.c_str(),
                 GetLastError());
        return false;
    }

    std::string m_folder;
    std::set<std::string> m_recorded;
    std::string m_aside; // made at the first entry that is moved aside
};

// The record of the staging folder, read as input like any other: only its paths below the folder count.
std::set<std::string> ReadStagingRecord(const std::string& folder) {
    std::string path = folder + "\\" + kStagingRecordName;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return {};
    // A link in the record's place names nothing: what it points to is not this staging's record. Nor is a
    // file far larger than any package's list.
    std::string text;
    if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        data.nFileSizeHigh != 0 || data.nFileSizeLow > kLargestRecord ||
        !ReadSearchableText(path.c_str(), text)) {
        WriteLog("ERR: The staging record %s is not a record of this package; ignored", path.c_str());
        return {};
    }
    std::vector<std::string> refused;
    std::set<std::string> recorded = ParseStagingRecord(text, refused);
    for (const std::string& line : refused)
        WriteLog("ERR: The staging record %s names %s, which is not below the staging folder; ignored",
                 path.c_str(), line.c_str());
    return recorded;
}

} // namespace

bool IsPathBelowStagingFolder(const std::string& line) {
    std::string path = line;
    if (!path.empty() && path.back() == '\\')
        path.pop_back(); // a folder
    if (path.empty() || path.size() >= kPathRoom)
        return false;
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || strchr("/:*?\"<>|", c))
            return false;
    }
    size_t start = 0;
    for (size_t slash = path.find('\\');; slash = path.find('\\', start)) {
        if (!IsPlainPart(path.substr(start, slash - start)))
            return false;
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

std::set<std::string> ParseStagingRecord(std::string text, std::vector<std::string>& refused) {
    LowerToFirstZero(text);
    std::set<std::string> paths;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (IsPathBelowStagingFolder(line))
            paths.insert(line);
        else
            refused.push_back(line);
    }
    return paths;
}

std::string ComposeStagingRecord(const std::vector<std::string>& paths) {
    std::string text = "; What the last staging wrote here; the next one removes only these.\r\n";
    for (const std::string& path : paths)
        text += path + "\r\n";
    return text;
}

StagedEntryFate DecideStagedEntry(DWORD attributes, DWORD reparseTag, bool recorded) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        bool link = reparseTag == IO_REPARSE_TAG_SYMLINK || reparseTag == IO_REPARSE_TAG_MOUNT_POINT;
        return link ? StagedEntryFate::kRemoveLink : StagedEntryFate::kMoveAside;
    }
    if (!recorded)
        return StagedEntryFate::kMoveAside;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? StagedEntryFate::kEnter : StagedEntryFate::kDelete;
}

bool CleanStagingFolder(const std::string& folder) {
    StagingCleaner cleaner(folder, ReadStagingRecord(folder));
    if (cleaner.CleanStagingFolder())
        return true;
    WriteLog("ERR: The staging folder %s cannot be cleaned; nothing is staged", folder.c_str());
    return false;
}

bool WriteStagingRecord(const std::string& folder, const std::vector<std::string>& paths, bool replace) {
    std::string path = folder + "\\" + kStagingRecordName;
    // Only this staging's own record is replaced; deleting a name never touches another name of its file.
    if (replace)
        DeleteFileA(path.c_str());
    ScopedFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text = ComposeStagingRecord(paths);
    DWORD written = 0;
    if (file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size())
        return true;
    WriteLog("ERR: The staging record %s cannot be written, error %lu", path.c_str(), GetLastError());
    return false;
}
