// The decisions of driver removal that need no system call.
#pragma once

#include <string>
#include <vector>

// What one attempt of RemoveCdromAndMassStorage does after its look at the present devices (listRead: the
// look's result, absent: whether it found no such device). A look that could not read the list proves
// nothing: the node counts as present and is looked for again after the pause.
enum class RemovalStep { kGone, kRemove, kLookAgain };
RemovalStep DecideRemovalStep(int listRead, int absent);

// The product IDs of a removal list: the tokens between runs of blanks and commas, in order.
std::vector<std::string> SplitPidList(const char* list);
