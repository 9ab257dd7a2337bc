#include "removal_decisions.h"

#include <cstring>

RemovalStep DecideRemovalStep(int listRead, int absent) {
    if (!listRead)
        return RemovalStep::kLookAgain;
    return absent ? RemovalStep::kGone : RemovalStep::kRemove;
}

std::vector<std::string> SplitPidList(const char* list) {
    std::vector<std::string> tokens;
    const char* at = list;
    for (;;) {
        at += strspn(at, " ,");
        size_t length = strcspn(at, " ,");
        if (length == 0)
            return tokens;
        tokens.emplace_back(at, length);
        at += length;
    }
}

OemFileStep DecideOemFileStep(OemUninstall answer, bool wasThere, bool isThere) {
    if (answer != OemUninstall::kNotAsked && wasThere && !isThere)
        return OemFileStep::kAlreadyGone;
    return OemFileStep::kDelete;
}
