#include "edition.h"

namespace {

enum class Windows { k2000, kXP, kVista, k7, k8OrLater };

struct EditionRow {
    int code;
    Windows windows;
    bool is64Bit;
    const char* folder; // null: the medium names it
};

// Windows 2000 and XP have no folder of their own: the Windows 7 32-bit drivers serve them.
const EditionRow kEditions[] = {
    {kEditionWin2000, Windows::k2000, false, "Win7"},
    {kEditionXP, Windows::kXP, false, "Win7"},
    {kEditionVista32, Windows::kVista, false, "Vista"},
    {kEditionVista64, Windows::kVista, true, "Vista-AMD64"},
    {kEditionWin7_32, Windows::k7, false, "Win7"},
    {kEditionWin7_64, Windows::k7, true, "Win7-AMD64"},
    {kEditionNewer32, Windows::k8OrLater, false, nullptr},
    {kEditionNewer64, Windows::k8OrLater, true, nullptr},
};

const EditionRow* Row(int edition) {
    for (const EditionRow& row : kEditions) {
        if (row.code == edition)
            return &row;
    }
    return nullptr;
}

} // namespace

bool EditionIsKnown(int edition) {
    return Row(edition) != nullptr;
}

bool EditionIs64Bit(int edition) {
    const EditionRow* row = Row(edition);
    return row && row->is64Bit;
}

bool EditionHasAccountControl(int edition) {
    const EditionRow* row = Row(edition);
    return row && row->windows >= Windows::kVista;
}

bool EditionIsBeforeVista(int edition) {
    const EditionRow* row = Row(edition);
    return row && row->windows < Windows::kVista;
}

bool EditionIsXpOrLater(int edition) {
    const EditionRow* row = Row(edition);
    return row && row->windows >= Windows::kXP;
}

bool EditionIsWindows8OrLater(int edition) {
    const EditionRow* row = Row(edition);
    return row && row->windows == Windows::k8OrLater;
}

bool EditionIsVista64(int edition) {
    const EditionRow* row = Row(edition);
    return row && row->windows == Windows::kVista && row->is64Bit;
}

std::string EditionFolder(int edition, const NewerWindowsFolders& newer) {
    const EditionRow* row = Row(edition);
    if (!row)
        return "";
    if (row->folder)
        return row->folder;
    return row->is64Bit ? newer.FolderAMD64 : newer.Folder;
}
