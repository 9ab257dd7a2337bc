// The search of an INF file's text (one text, or several in one sweep, also prepared once; a device ID only
// as a whole ID, a file name only as a whole name), the narrowing of a UTF-16 one, and the check of a
// bitmap's headers, on any bytes: the search must agree with a plain lower-and-find (one that looks at the
// neighbours of each place found), the narrowing with a character-by-character one, and a bitmap taken as
// whole must really announce no more than it has. The search's second look (the INF read for its values) only
// adds: what the first look holds, the two hold, and the first look's answers are exactly those of the search
// alone; the reading of any bytes ends, and the places it gives for a file stay below the INF's folder.
#include "common/file_contents.h"
#include "common/inf_reader.h"
#include "fuzz_check.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Lowered(const std::string& content) {
    std::string lowered = content.substr(0, content.find('\0'));
    for (char& c : lowered)
        c = IsUpperAscii(c) ? static_cast<char>(c - 'A' + 'a') : c;
    return lowered;
}

bool Contains(const std::string& content, const std::string& text) {
    return Lowered(content).find(text) != std::string::npos;
}

bool IsIdChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '&' ||
           c == '_' || c == '\\';
}

// What may stand inside a file name in an INF line: no blank or control character, no separator of paths
// or of an INF line's values.
bool IsNameChar(char c) {
    return static_cast<unsigned char>(c) > 32 &&
           std::string("\\/:*?\"<>|,;=%[]").find(c) == std::string::npos;
}

// Held whole: at some place where neither the character before nor the one after is inside (an ID or a name
// character).
bool ContainsWhole(const std::string& content, const std::string& text, bool (*inside)(char)) {
    std::string lowered = Lowered(content);
    for (size_t at = lowered.find(text); at != std::string::npos; at = lowered.find(text, at + 1)) {
        size_t after = at + text.size();
        if ((at == 0 || !inside(lowered[at - 1])) && (after == lowered.size() || !inside(lowered[after])))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string text1 = input.ConsumeRandomLengthString(64);
    std::string text2 = input.ConsumeRandomLengthString(64);
    unsigned long long fileSize = input.ConsumeIntegral<unsigned long long>();
    std::string content = input.ConsumeRemainingBytesAsString();

    std::string searched = content;
    int found = TextContainsBoth(searched, text1.c_str(), text2.c_str());
    // The search texts are C texts: they end at their first zero byte.
    text1.resize(strlen(text1.c_str()));
    text2.resize(strlen(text2.c_str()));
    bool expected = !text1.empty() && Contains(content, text1) && (text2.empty() || Contains(content, text2));
    FUZZ_EXPECT(found == (expected ? 1 : 0));
    // Several texts in one sweep: the first of them, in their order, that a plain search finds.
    size_t first = !text1.empty() && Contains(content, text1)   ? 0
                   : !text2.empty() && Contains(content, text2) ? 1
                                                                : std::string::npos;
    FUZZ_EXPECT(FirstHeldLowered(content, {text1, text2}) == first);
    // Prepared once for many files: each text held exactly when a plain search finds it.
    std::vector<bool> held = {true};
    LoweredTextSearch({text1, text2, text1}).Find(content, held);
    FUZZ_EXPECT(held.size() == 3);
    FUZZ_EXPECT(held[0] == (!text1.empty() && Contains(content, text1)) && held[2] == held[0]);
    FUZZ_EXPECT(held[1] == (!text2.empty() && Contains(content, text2)));
    // The first text as a device ID, the second as any text: the ID only where it stands whole.
    LoweredTextSearch({text1, text2}, {true}).Find(content, held);
    FUZZ_EXPECT(held.size() == 2);
    FUZZ_EXPECT(held[0] == (!text1.empty() && ContainsWhole(content, text1, IsIdChar)));
    FUZZ_EXPECT(held[1] == (!text2.empty() && Contains(content, text2)));
    // The second as a file name, held only as a whole name.
    LoweredTextSearch({text1, text2}, {}, {false, true}).Find(content, held);
    FUZZ_EXPECT(held[0] == (!text1.empty() && Contains(content, text1)));
    FUZZ_EXPECT(held[1] == (!text2.empty() && ContainsWhole(content, text2, IsNameChar)));

    // Both looks, over the raw text and over the values: the first exactly as above, the second only adding.
    std::vector<bool> added = {true, true, true};
    InfSearch({text1, text2}, {true}).Find(content, held, added);
    FUZZ_EXPECT(held.size() == 2 && added.size() == 2);
    FUZZ_EXPECT(held[0] == (!text1.empty() && ContainsWhole(content, text1, IsIdChar)));
    FUZZ_EXPECT(held[1] == (!text2.empty() && Contains(content, text2)));
    FUZZ_EXPECT(!(held[0] && added[0]) && !(held[1] && added[1]));
    FUZZ_EXPECT(!added[0] || !text1.empty());
    // The reader on any bytes: entries within the text's lines, none for a file Windows would not open.
    InfFile inf(content);
    size_t lines = 1;
    for (char c : content)
        lines += c == '\n' ? 1 : 0;
    FUZZ_EXPECT(inf.Readable() == (inf.BadLine() == 0) && inf.BadLine() <= lines);
    FUZZ_EXPECT(inf.Readable() || inf.Sections().empty());
    for (const InfSection& section : inf.Sections()) {
        FUZZ_EXPECT(section.line >= 1 && section.line <= lines && inf.Section(section.name) != nullptr);
        for (const InfEntry& entry : section.entries)
            FUZZ_EXPECT(entry.line >= section.line && entry.line <= lines && !entry.fields.empty());
    }
    std::string folder;
    if (SourceFolderOf(inf, text2, "amd64", folder)) {
        FUZZ_EXPECT(folder.find(':') == std::string::npos && folder.find('/') == std::string::npos);
        FUZZ_EXPECT(("\\" + folder + "\\").find("\\..\\") == std::string::npos);
        FUZZ_EXPECT(folder.empty() || (folder.front() != '\\' && folder.back() != '\\'));
    }

    // A UTF-16 text narrowed: one byte a character, ASCII kept, anything else '?'; other text untouched.
    std::string narrowed = content;
    NarrowUtf16Text(narrowed);
    if (content.size() >= 2 && content.compare(0, 2, "\xFF\xFE") == 0) {
        FUZZ_EXPECT(narrowed.size() == (content.size() - 2) / 2);
        for (size_t i = 0; i < narrowed.size(); ++i) {
            unsigned unit = static_cast<unsigned char>(content[2 + 2 * i]) +
                            256u * static_cast<unsigned char>(content[3 + 2 * i]);
            FUZZ_EXPECT(narrowed[i] == (unit < 0x80 ? static_cast<char>(unit) : '?'));
        }
    } else {
        FUZZ_EXPECT(narrowed == content);
    }

    std::string head = content.substr(0, kBitmapHeadSize);
    if (IsWholeBitmap(head, fileSize)) {
        FUZZ_EXPECT(head.size() >= 14 + 12 && head[0] == 'B' && head[1] == 'M');
        FUZZ_EXPECT(fileSize >= 14 + 12);
    }
    return 0;
}
