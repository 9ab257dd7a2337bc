// The installer's narrowed library search, in a program of its own: the setting holds for the whole
// process.
#include "common/dll_search.h"
#include "support.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace testsupport;

TEST(DllSearchChoice, NarrowsAsFarAsTheRunningWindowsAllows) {
    EXPECT_EQ(DllSearch::kSystemFolderOnly, ChooseDllSearch(true, true));
    EXPECT_EQ(DllSearch::kSystemFolderOnly, ChooseDllSearch(true, false));
    EXPECT_EQ(DllSearch::kWithoutCurrentFolder,
              ChooseDllSearch(false, true));                         // XP SP1 to 7 without the update
    EXPECT_EQ(DllSearch::kUnchanged, ChooseDllSearch(false, false)); // Windows 2000
}

// Another program of the user puts a library under a name the installer may load into its folder.
TEST(DllSearch, LibraryPlantedBesideTheProgramIsNoLongerLoadedByName) {
    std::string planted = CopyBuilt(PLANTED_LIBRARY, TestDir(), "planted.dll");
    HMODULE before = LoadLibraryA("planted.dll");
    ASSERT_NE(nullptr, before) << "the plant must work without the restriction";
    FreeLibrary(before);

    EXPECT_EQ(DllSearch::kSystemFolderOnly, RestrictDllSearch());
    EXPECT_EQ(nullptr, LoadLibraryA("planted.dll"));
    // The system's libraries by name, and a library by its full path, still load.
    HMODULE system = LoadLibraryA("shlwapi.dll");
    EXPECT_NE(nullptr, system);
    HMODULE byPath = LoadLibraryA(planted.c_str());
    EXPECT_NE(nullptr, byPath);
    FreeLibrary(byPath);
    FreeLibrary(system);
    DeleteFileA(planted.c_str());
}
