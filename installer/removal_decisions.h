// The decisions of driver removal that need no system call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What one attempt of RemoveCdromAndMassStorage does after its look at the present devices (listRead: the
// look's result, absent: whether it found no such device). A look that could not read the list proves
// nothing: the node counts as present and is looked for again after the pause.
enum class RemovalStep { kGone, kRemove, kLookAgain };
RemovalStep DecideRemovalStep(int listRead, int absent);

// The product IDs of a removal list: the tokens between runs of blanks and commas, in order.
std::vector<std::string> SplitPidList(const char* list);

// What Windows' uninstall of one OEM INF copy (SetupUninstallOEMInfA) answered: not asked (Windows 2000 lacks
// it), failed, or done.
enum class OemUninstall { kNotAsked, kFailed, kDone };
// What becomes of one file of the copy, its .inf or its .PNF, after that answer (wasThere: before the call,
// isThere: after it). A file that was there and is gone once Windows was asked has been removed (Windows
// removes the .PNF with the .inf; some versions leave it); any other is deleted as a plain file, whose
// failure (a file that never was there included) is logged as a failed removal.
enum class OemFileStep { kAlreadyGone, kDelete };
OemFileStep DecideOemFileStep(OemUninstall answer, bool wasThere, bool isThere);

// The step a removal that left something behind ends its run with, as [result] shows it: "removal left "
// and the leftovers as the log names them, separated by ", ", as many whole ones as fit in room with the
// count of the others after them (" and 2 more"). False, with out empty, when there are none.
bool ComposeLeftoversStep(const std::vector<std::string>& leftovers, char* out, size_t room);
