// Whether the device's drivers are already in Windows, from what Windows keeps on disk for each driver
// package added to it: an oem*.inf file naming the interface's hardware ID and the driver file, its
// precompiled .Pnf twin, and the driver file itself in the system's driver folder.
#pragma once

#include "common/inf_reader.h"
#include "common/inf_search_ahead.h"
#include "common/text.h"

#include <memory>
#include <string>
#include <vector>

// Whether the package's drivers are in Windows, looked at ahead of the question: the INF store is listed and
// swept on background threads from the moment the object is made, beside whatever the program does
// meanwhile (the launcher looks at the devices). Ask it once; end it before a window, so that nothing is
// read for a question no one asks. On a PC whose INF store does not change in between, the answer and its
// log lines are those of a look taken when the question comes.
class InstalledDriverCheck {
public:
    InstalledDriverCheck();
    // 1 when, for both the modem and the serial interface of the profile, an oem*.inf file names the
    // hardware ID (as a whole ID) and the driver file, in its raw text or in its values with the [Strings]
    // tokens put in (InfSearch), and has its .Pnf twin, and the driver file is in the driver folder; an INF
    // over Windows' own driver file need not name it. Else 0. The found flags live in the profile's search
    // table, so a second check in a run starts from the first one's. A 32-bit launcher on 64-bit Windows
    // looks into the native driver folder, where the 64-bit installer puts the driver (its own view of
    // system32 is SysWOW64).
    int IsDriverFileInstalled();

private:
    char m_windows[kPathRoom] = {};
    bool m_listed = false;
    std::vector<std::string> m_infs; // as the log names them, in the order the folder lists them
    std::unique_ptr<InfSearch> m_search;
    std::unique_ptr<InfSearchAhead> m_files;
};

// 1 when the folder of the path lists a file of that name, in any letter case; else 0. The folder is listed
// rather than the file opened, so a file that exists but cannot be opened counts as existing.
int IsFileExist(const char* path);

// The .Pnf twin of an INF file: every ".inf" of the file name (exactly so, case-sensitive) becomes ".Pnf";
// the folders of the path stay as they are.
std::string PnfPathOf(const std::string& infPath);
