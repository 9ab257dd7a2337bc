// The staging folder in the temp folder belongs to the user: other programs, and the user, may put files
// there. A staging therefore records what it wrote, and the next staging removes only what that record
// names; anything else it finds is moved aside into a new folder beside the staging folder, never deleted,
// so that it is neither lost nor placed, loaded or started by the elevated installer as the package's own.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// The record's name in the staging folder: one path a line, relative to the staging folder; a folder's
// path ends in a backslash.
extern const char kStagingRecordName[];

// Whether a record line names a path below the staging folder: relative (no drive, stream or leading
// backslash), with backslashes only, and no part that is empty, "." or "..", or that ends in a dot or a
// blank.
bool IsPathBelowStagingFolder(const std::string& line);
// The record's paths below the staging folder, lowered (A to Z) for comparison with names found there;
// the lines that name anything else go to refused, as written. Blank lines and ';' comments are skipped.
std::set<std::string> ParseStagingRecord(std::string text, std::vector<std::string>& refused);
// The record's text for the paths one staging wrote.
std::string ComposeStagingRecord(const std::vector<std::string>& paths);

// What the cleaning does with an entry of the staging folder. A link (a symbolic link or a junction) is
// removed as a link, never followed; any other reparse point (a placeholder of a cloud folder, say) is the
// user's data and is moved aside. A folder an earlier staging made is entered, emptied and removed; a file
// it wrote is deleted.
enum class StagedEntryFate { kEnter, kDelete, kRemoveLink, kMoveAside };
StagedEntryFate DecideStagedEntry(DWORD attributes, DWORD reparseTag, bool recorded);

// Empties the staging folder (full path, no trailing backslash): the files and folders an earlier
// staging's record names are deleted (a folder once it is empty; one that cannot be removed stays, empty),
// links are removed, and everything else is moved aside into a new folder beside it ("Driver.aside-1", the
// first number not in use). A link in the staging folder's own place is removed; a missing folder, or a
// file in its place, is left for the caller. False (logged) when something could not be removed or moved:
// then nothing may be staged.
bool CleanStagingFolder(const std::string& folder);
// Writes the record of what this staging wrote. replace: this staging wrote the record before and may
// replace it; otherwise a file already there is left alone and the record is not written. False (logged)
// when it could not be written.
bool WriteStagingRecord(const std::string& folder, const std::vector<std::string>& paths, bool replace);
