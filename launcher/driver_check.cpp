#include "driver_check.h"

#include "common/edition.h"
#include "common/file_contents.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/native_files.h"
#include "common/profile.h"
#include "common/text.h"
#include "framework/file_find.h"

#include <windows.h>

#include <mbstring.h>

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

int IsDriverFileInstalled() {
    char windows[kPathRoom];
    char pattern[kPathRoom];
    WIN32_FIND_DATAA found;
    ScopedFindHandle search;
    if (GetWindowsFolder(windows) && FormatBounded(pattern, sizeof pattern, "%s\\inf\\oem*.inf", windows))
        search.Reset(FindFirstFileA(pattern, &found));
    if (!search) {
        WriteLog("ERROR: FindFirstFile inf dir fail.");
        return 0;
    }

    const std::string& driver = DeviceProfile.UsbDriverName;
    std::string content; // one buffer for every file
    do {
        char inf[kPathRoom];
        if (!FormatBounded(inf, sizeof inf, "%s\\Inf\\%s", windows, found.cFileName))
            continue; // a name that long is no INF file Windows added
        // Each file is read once for both interfaces; one that cannot be read matches neither.
        bool read = false;
        for (DriverCheckEntry& entry : DeviceProfile.SearchTable) {
            if (entry.bFound)
                continue;
            if (!read && !(read = ReadInfText(inf, content)))
                break;
            if (!TextContainsBoth(content, entry.HwId.c_str(), driver.c_str()))
                continue;
            WriteLog("inf(%s) with hardwardId(%s) and sys file(%s) exist", inf, entry.HwId.c_str(),
                     driver.c_str());
            std::string pnf = PnfPathOf(inf);
            if (IsFileExist(pnf.c_str())) {
                WriteLog("pnf %s exist", pnf.c_str());
                entry.bFound = 1;
            }
        }
    } while (FindNextFileA(search.Get(), &found));
    search.Reset();

    for (const DriverCheckEntry& entry : DeviceProfile.SearchTable) {
        if (!entry.bFound)
            return 0;
    }

    char sys[kPathRoom];
    if (!FormatBounded(sys, sizeof sys, "%s\\system32\\drivers\\%s", windows, driver.c_str())) {
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
