#include "windows_own_files.h"

#include "file_contents.h"
#include "files.h"
#include "handles.h"
#include "inf_reader.h"
#include "inf_search_ahead.h"
#include "newer_api.h"
#include "text.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

bool StartsWithOem(const char* fileName) {
    return _strnicmp(fileName, "oem", 3) == 0;
}

bool HasExtension(const char* fileName, const char* extension) {
    size_t length = strlen(fileName), wanted = strlen(extension);
    return length > wanted && _stricmp(fileName + length - wanted, extension) == 0;
}

// The last part of a path.
std::string NameOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

WindowsOwn CombineWindowsOwn(bool protectedByWindows, bool namedByWindowsInf) {
    if (protectedByWindows)
        return WindowsOwn::kProtected;
    return namedByWindowsInf ? WindowsOwn::kNamedByWindowsInf : WindowsOwn::kNo;
}

bool IsWindowsInfName(const char* fileName) {
    return HasExtension(fileName, ".inf") && !StartsWithOem(fileName);
}

bool InfRuleApplies(const char* fileName) {
    return *fileName &&
           !(StartsWithOem(fileName) && (HasExtension(fileName, ".inf") || HasExtension(fileName, ".pnf")));
}

std::string DescribeWindowsOwn(WindowsOwn own, const std::string& inf) {
    switch (own) {
    case WindowsOwn::kProtected:
        return "Windows protects it";
    case WindowsOwn::kNamedByWindowsInf:
        return "Windows' INF " + inf + " names it";
    case WindowsOwn::kNo:
        break;
    }
    return "";
}

WindowsOwnFiles::WindowsOwnFiles(FileProtectionQuery protection, std::string windows)
    : m_protection(protection), m_windows(std::move(windows)) {}

void WindowsOwnFiles::Expect(const std::string& name) {
    if (!InfRuleApplies(name.c_str()))
        return;
    std::string lowered = LowerText(name);
    if (m_namedBy.count(lowered) || std::find(m_pending.begin(), m_pending.end(), lowered) != m_pending.end())
        return;
    m_pending.push_back(lowered);
}

WindowsOwn WindowsOwnFiles::Ask(const std::string& path, std::string* inf) {
    std::string name = NameOf(path);
    if (Protected(path))
        return WindowsOwn::kProtected;
    if (!InfRuleApplies(name.c_str()))
        return WindowsOwn::kNo;
    std::string lowered = LowerText(name);
    auto known = m_namedBy.find(lowered);
    if (known == m_namedBy.end()) {
        Expect(name);
        Sweep();
        known = m_namedBy.find(lowered);
    }
    bool named = known != m_namedBy.end() && !known->second.empty();
    if (named && inf)
        *inf = known->second;
    return CombineWindowsOwn(false, named);
}

bool WindowsOwnFiles::Protected(const std::string& path) const {
    if (!m_protection)
        return false;
    wchar_t wide[kPathRoom];
    // A path that does not fit is no file Windows keeps; the INF rule still answers for its name.
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, kPathRoom) == 0)
        return false;
    return m_protection(nullptr, wide) != FALSE;
}

void WindowsOwnFiles::Sweep() {
    std::vector<std::string> names = std::move(m_pending);
    m_pending.clear();
    for (const std::string& name : names)
        m_namedBy[name]; // looked for now: empty until an INF names it
    if (names.empty())
        return;
    // As the folder is spelled on the disk, so that Wine does not search the folder above for every file.
    std::string folder = m_windows + "\\inf\\";
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA((folder + "*.inf").c_str(), &found));
    if (!search)
        return; // no INF folder: no INF of Windows' names anything
    std::vector<std::string> infs, paths;
    do {
        // "*.inf" also finds names whose short form ends so ("x.inf_old"): only the extension itself counts.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsWindowsInfName(found.cFileName)) {
            infs.push_back(found.cFileName);
            paths.push_back(folder + found.cFileName);
        }
    } while (FindNextFileA(search.Get(), &found));
    search.Reset();

    InfSearch textSearch(names, {}, std::vector<bool>(names.size(), true));
    size_t left = names.size();
    InfSearchAhead files(std::move(paths), textSearch);
    WholeRead read;
    std::vector<bool> held, added;
    // The first INF in the folder's order that names a file is the one the log gives; once every name is
    // named, the rest of the folder is not read (the search's threads end with it).
    for (size_t i = 0; left > 0 && files.Next(read, held, added); ++i) {
        ++m_infsRead;
        if (!ReportWholeRead((folder + infs[i]).c_str(), read))
            continue;
        for (size_t n = 0; n < names.size(); ++n) {
            std::string& by = m_namedBy[names[n]];
            if ((held[n] || added[n]) && by.empty()) {
                by = infs[i];
                --left;
            }
        }
    }
}

namespace {

std::string WindowsFolderText() {
    char windows[kPathRoom] = {};
    return GetWindowsFolder(windows) ? windows : "";
}

} // namespace

WindowsOwnFiles& RunWindowsOwnFiles() {
    static WindowsOwnFiles files(GetFileProtectionApi().SfcIsFileProtected, WindowsFolderText());
    return files;
}
