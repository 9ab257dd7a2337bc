// What an edition code means. Every decision that depends on the running Windows asks these functions
// instead of comparing codes, so that an edition is taught to the programs in one place.
#pragma once

#include <string>

// Edition codes: 0 none known yet, 1 Windows 2000, 2 XP, 3 Vista 32-bit, 4 Vista 64-bit, 5 Windows 7 32-bit,
// 6 Windows 7 64-bit, 7 Windows 8 or later 32-bit, 8 Windows 8 or later 64-bit. Codes 7 and 8 are given only
// on a medium whose profile names edition folders for them (NewerWindowsFolders).
enum Edition {
    kEditionUnknown = 0,
    kEditionWin2000 = 1,
    kEditionXP = 2,
    kEditionVista32 = 3,
    kEditionVista64 = 4,
    kEditionWin7_32 = 5,
    kEditionWin7_64 = 6,
    kEditionNewer32 = 7,
    kEditionNewer64 = 8,
};

// The edition folders a medium names for Windows 8 and later ([Newer_Windows] of drvcfg.ini); both empty
// when it names none.
struct NewerWindowsFolders {
    std::string Folder;      // 32-bit
    std::string FolderAMD64; // 64-bit

    bool Named() const { return !Folder.empty() && !FolderAMD64.empty(); }
};

// A code that a successful probe gives.
bool EditionIsKnown(int edition);
// A 64-bit Windows: its native system32 is hidden from 32-bit programs, and it takes the 64-bit installer.
bool EditionIs64Bit(int edition);
// Vista and later: user account control exists.
bool EditionHasAccountControl(int edition);
// Windows 2000 and XP: the Explorer of before user account control.
bool EditionIsBeforeVista(int edition);
// XP and later.
bool EditionIsXpOrLater(int edition);
// Windows 8 and later: Explorer may show no address control to read, and the shell's list of folder
// windows is the way to find the ones that show a drive.
bool EditionIsWindows8OrLater(int edition);
// Vista 64-bit, which some decisions treat apart from the other 64-bit editions.
bool EditionIsVista64(int edition);
// The package's folder of driver files for an edition ("Win7", "Vista", "Vista-AMD64", "Win7-AMD64", or the
// medium's own for Windows 8 and later), without a backslash; empty for an unknown code.
std::string EditionFolder(int edition, const NewerWindowsFolders& newer);
