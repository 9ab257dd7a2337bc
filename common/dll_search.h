// Where the programs look for a library named without a folder. The installer runs elevated from the user's
// temp folder, which any program of that user can write to: a library planted there (or in the current
// folder) under a system library's name must not be loaded in the system's place.
#pragma once

// How far the running Windows lets a program narrow its library search.
enum class DllSearch {
    kSystemFolderOnly,     // only system32 (and the program's own, known, load-time imports)
    kWithoutCurrentFolder, // the default order less the current folder
    kUnchanged,            // Windows 2000 and XP before SP1 offer neither
};
DllSearch ChooseDllSearch(bool hasSetDefaultDllDirectories, bool hasSetDllDirectory);

// Narrows the search as far as the running Windows allows; called first thing at start-up. Answers what
// was done.
DllSearch RestrictDllSearch();
