#include "removal_decisions.h"

#include "common/text.h"

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

bool ComposeLeftoversStep(const std::vector<std::string>& leftovers, char* out, size_t room) {
    if (room > 0)
        out[0] = '\0';
    if (leftovers.empty())
        return false;
    const char kHead[] = "removal left ";
    CopyBounded(out, room, kHead);
    size_t named = 0;
    for (const std::string& leftover : leftovers) {
        // Room is kept for the count of those after it, should the next one not fit.
        char more[32] = "";
        size_t after = leftovers.size() - named - 1;
        if (after > 0)
            FormatBounded(more, sizeof more, " and %u more", static_cast<unsigned>(after));
        size_t needed = strlen(out) + (named > 0 ? 2 : 0) + leftover.size() + strlen(more);
        if (needed >= room)
            break;
        if (named > 0)
            AppendBounded(out, room, ", ");
        AppendBounded(out, room, leftover.c_str());
        ++named;
    }
    if (named == 0) // not even one fits: only their number
        return FormatBounded(out, room, "%s%u things", kHead, static_cast<unsigned>(leftovers.size()));
    if (named < leftovers.size()) {
        char more[32];
        FormatBounded(more, sizeof more, " and %u more", static_cast<unsigned>(leftovers.size() - named));
        AppendBounded(out, room, more);
    }
    return true;
}
