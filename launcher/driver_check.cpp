#include "driver_check.h"

#include "common/edition.h"
#include "common/file_contents.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/inf_search_ahead.h"
#include "common/log.h"
#include "common/native_files.h"
#include "common/profile.h"
#include "common/text.h"
#include "common/windows_own_files.h"
#include "framework/file_find.h"

#include <windows.h>

#include <mbstring.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

std::string PnfPathOf(const std::string& infPath) {
    std::string pnf = infPath;
    size_t slash = pnf.rfind('\\');
    for (size_t at = pnf.find(".inf", slash == std::string::npos ? 0 : slash); at != std::string::npos;
         at = pnf.find(".inf", at + 4))
        pnf.replace(at, 4, ".Pnf");
    return pnf;
}

int IsFileExist(const char* path) {
    const char* slash = path ? strrchr(path, '\\') : nullptr;
    if (!slash)
        return 0;
    std::string pattern = std::string(path, slash) + "\\*.*";
    CFileFind finder;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(finder.GetFilePath().c_str()),
                     reinterpret_cast<const unsigned char*>(path)) == 0)
            return 1;
    }
    return 0;
}

namespace {

template <size_t N>
bool AllFound(const DriverCheckEntry (&table)[N]) {
    for (const DriverCheckEntry& entry : table) {
        if (!entry.bFound)
            return false;
    }
    return true;
}

} // namespace

InstalledDriverCheck::InstalledDriverCheck() {
    auto& table = DeviceProfile.SearchTable;
    char pattern[kPathRoom];
    WIN32_FIND_DATAA found;
    ScopedFindHandle search;
    if (GetWindowsFolder(m_windows) && FormatBounded(pattern, sizeof pattern, "%s\\inf\\oem*.inf", m_windows))
        search.Reset(FindFirstFileA(pattern, &found));
    m_listed = static_cast<bool>(search);
    if (!m_listed || AllFound(table)) // nothing to look for: no file is read
        return;
    // As the log names them, and as the folder is spelled on the disk.
    std::vector<std::string> paths;
    do {
        char inf[kPathRoom], path[kPathRoom];
        if (!FormatBounded(inf, sizeof inf, "%s\\Inf\\%s", m_windows, found.cFileName) ||
            !FormatBounded(path, sizeof path, "%s\\inf\\%s", m_windows, found.cFileName))
            continue; // a name too long for a path is no INF file Windows added
        m_infs.push_back(inf);
        paths.push_back(path);
    } while (FindNextFileA(search.Get(), &found));

    // Each file is read once and swept once for every interface's hardware ID, each as a whole ID, and the
    // driver's name; one that spells them through [Strings] tokens is read for its values too.
    std::vector<std::string> texts;
    for (const DriverCheckEntry& entry : table)
        texts.push_back(entry.HwId);
    std::vector<bool> wholeIds(texts.size(), true);
    texts.push_back(DeviceProfile.UsbDriverName);
    m_search = std::make_unique<InfSearch>(std::move(texts), std::move(wholeIds));
    m_files = std::make_unique<InfSearchAhead>(std::move(paths), *m_search);
}

int InstalledDriverCheck::IsDriverFileInstalled() {
    if (!m_listed) {
        WriteLog("ERROR: FindFirstFile inf dir fail.");
        return 0;
    }
    // A file that cannot be read matches neither interface. Once every interface is found, the rest of the
    // files are not looked at.
    auto& table = DeviceProfile.SearchTable;
    const std::string& driver = DeviceProfile.UsbDriverName;
    // An INF over Windows' own driver (usbser.sys, through Include=mdmcpq.inf) need not name the file: asked
    // once, and only of an INF that names an ID but not the driver, so a package whose INFs name their
    // driver costs nothing more.
    int own = -1;
    auto driverIsWindowsOwn = [&] {
        if (own < 0) {
            std::string inf, path = std::string(m_windows) + "\\system32\\drivers\\" + driver;
            WindowsOwn answer = RunWindowsOwnFiles().Ask(path, &inf);
            own = answer != WindowsOwn::kNo;
            if (own)
                WriteLog("INFO: The driver file %s is Windows' own (%s): an INF over it need not name it",
                         driver.c_str(), DescribeWindowsOwn(answer, inf).c_str());
        }
        return own == 1;
    };
    WholeRead read;
    std::vector<bool> held, added; // the raw text's look, and what the INF's values add to it
    for (size_t file = 0; m_files && !AllFound(table) && m_files->Next(read, held, added); ++file) {
        if (!ReportWholeRead(m_infs[file].c_str(), read))
            continue;
        bool driverHeld = driver.empty() || held.back() || added.back();
        for (size_t i = 0; i < std::size(table); ++i) {
            DriverCheckEntry& entry = table[i];
            if (entry.bFound || !(held[i] || added[i]) || !(driverHeld || driverIsWindowsOwn()))
                continue;
            WriteLog("inf(%s) with hardwardId(%s) and sys file(%s) exist", m_infs[file].c_str(),
                     entry.HwId.c_str(), driver.c_str());
            std::string pnf = PnfPathOf(m_infs[file]);
            if (IsFileExist(pnf.c_str())) {
                WriteLog("pnf %s exist", pnf.c_str());
                entry.bFound = 1;
            }
        }
    }
    m_files.reset(); // the threads end: nothing more is read

    if (!AllFound(table))
        return 0;

    char sys[kPathRoom];
    if (!FormatBounded(sys, sizeof sys, "%s\\system32\\drivers\\%s", m_windows, driver.c_str())) {
        WriteLog("Err:sys file(%s) isn't exist", sys);
        return 0;
    }
    int exists;
    {
        ScopedNativeFileSystem native(EditionIs64Bit(g_nEdition));
        exists = IsFileExist(sys);
    }
    // Vista 64-bit counts as having the driver even without seeing it.
    if (exists || EditionIsVista64(g_nEdition)) {
        WriteLog("Inf: sys file(%s) exist", sys);
        return 1;
    }
    WriteLog("Err:sys file(%s) isn't exist", sys);
    return 0;
}
