#include "dll_search.h"

#include "newer_api.h"

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

DllSearch ChooseDllSearch(bool hasSetDefaultDllDirectories, bool hasSetDllDirectory) {
    if (hasSetDefaultDllDirectories)
        return DllSearch::kSystemFolderOnly;
    return hasSetDllDirectory ? DllSearch::kWithoutCurrentFolder : DllSearch::kUnchanged;
}

DllSearch RestrictDllSearch() {
    const NewerApi& api = GetNewerApi();
    DllSearch choice =
        ChooseDllSearch(api.SetDefaultDllDirectories != nullptr, api.SetDllDirectoryA != nullptr);
    if (choice == DllSearch::kSystemFolderOnly && api.SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return choice;
    // An empty folder takes the current folder out of the search order.
    if (api.SetDllDirectoryA && api.SetDllDirectoryA(""))
        return DllSearch::kWithoutCurrentFolder;
    return DllSearch::kUnchanged;
}
