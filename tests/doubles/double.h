// What the test doubles share: each journals what it was asked, one line per call, to "<its name>.journal"
// beside its own file, and reads its answers from "<its name>.ini" beside it (read anew at every call, so a
// scenario can change them while the programs run).
#pragma once

#include <string>

// Appends one line to the journal.
void Journal(const std::string& line);
// An integer of the double's .ini, or fallback when it is not there.
int DoubleAnswer(const char* section, const char* key, int fallback);
// The double's own file (the DLL's path inside a DLL).
std::string DoublePath();
