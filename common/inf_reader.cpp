#include "inf_reader.h"

#include <algorithm>
#include <utility>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWithoutCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

// Whether text, from at on, is lowered (already lower-case) as a whole, without regard to case.
bool EndsAs(const std::string& text, size_t at, const std::string& lowered) {
    if (at > text.size() || text.size() - at != lowered.size())
        return false;
    for (size_t i = 0; i < lowered.size(); ++i) {
        if (Lower(text[at + i]) != lowered[i])
            return false;
    }
    return true;
}

// SetupAPI's blanks; a zero byte reads as a blank too.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

// A field as it is read. Only unquoted blanks at its ends do not count: a quoted character stops the
// trimming, so it is enough to know where the first quoted character is and where the last one ends.
struct FieldText {
    std::string text;
    size_t firstQuoted = std::string::npos;
    size_t quotedEnd = 0;

    void Put(char c, bool inQuotes) {
        if (inQuotes) {
            firstQuoted = std::min(firstQuoted, text.size());
            quotedEnd = text.size() + 1;
        }
        text += c == '\0' ? ' ' : c;
    }
    void TrimEnd() {
        while (text.size() > quotedEnd && IsBlank(text.back()))
            text.pop_back();
    }
    std::string Take() {
        TrimEnd();
        size_t first = 0;
        while (first < text.size() && first < firstQuoted && IsBlank(text[first]))
            ++first;
        std::string value = text.substr(first);
        text.clear();
        firstQuoted = std::string::npos;
        quotedEnd = 0;
        return value;
    }
};

// Puts in every %strkey% token of value that strings holds.
void PutStrings(std::string& value, const InfSection* strings) {
    if (value.find('%') == std::string::npos)
        return;
    std::string out;
    size_t at = 0;
    for (;;) {
        size_t open = value.find('%', at);
        size_t close = open == std::string::npos ? open : value.find('%', open + 1);
        if (close == std::string::npos) {
            out.append(value, at, std::string::npos); // an unfinished token stays as written
            value.swap(out);
            return;
        }
        out.append(value, at, open - at);
        std::string name = value.substr(open + 1, close - open - 1);
        const InfEntry* found = nullptr;
        for (size_t i = 0; strings && !name.empty() && i < strings->entries.size() && !found; ++i) {
            if (strings->entries[i].hasKey && SameWithoutCase(strings->entries[i].key, name))
                found = &strings->entries[i];
        }
        if (name.empty()) {
            out += '%';
        } else if (found) {
            for (size_t f = 0; f < found->fields.size(); ++f)
                out += (f ? "," : "") + found->fields[f];
        } else {
            out.append(value, open, close - open + 1);
        }
        at = close + 1;
    }
}

} // namespace

const std::string& InfEntry::Field(size_t index) const {
    static const std::string none;
    return index < fields.size() ? fields[index] : none;
}

InfFile::InfFile(const std::string& content) {
    const size_t end = std::min(content.find('\x1a'), content.size());
    size_t at = content.compare(0, 3, "\xEF\xBB\xBF") == 0 ? std::min<size_t>(3, end) : 0;
    size_t lineNumber = 1;
    auto lineEndFrom = [&](size_t from) { return std::min(content.find('\n', from), end); };
    // Moves to the start of the next line; false at the end of the text.
    auto nextLine = [&](size_t lineEnd) {
        at = lineEnd + 1;
        ++lineNumber;
        return lineEnd < end;
    };

    size_t current = std::string::npos;
    while (at < end) {
        size_t lineEnd = lineEndFrom(at);
        while (at < lineEnd && IsBlank(content[at]))
            ++at;
        if (at == lineEnd || content[at] == ';') {
            if (!nextLine(lineEnd))
                break;
            continue;
        }
        if (content[at] == '[') {
            size_t close = content.find(']', at + 1);
            if (close == std::string::npos || close >= lineEnd) {
                m_badLine = lineNumber;
                m_sections.clear();
                return;
            }
            std::string name = content.substr(at + 1, close - at - 1);
            for (char& c : name)
                c = c == '\0' ? ' ' : c;
            current = std::string::npos;
            for (size_t i = 0; i < m_sections.size() && current == std::string::npos; ++i) {
                if (SameWithoutCase(m_sections[i].name, name))
                    current = i;
            }
            if (current == std::string::npos) {
                current = m_sections.size();
                m_sections.push_back({name, lineNumber, {}});
            }
            if (!nextLine(lineEnd))
                break;
            continue;
        }

        // An entry, which a backslash at the end of a line continues on the next.
        InfEntry entry;
        entry.line = lineNumber;
        FieldText field;
        bool quoted = false, more = true;
        for (;;) {
            if (at >= lineEnd) {
                more = nextLine(lineEnd);
                break;
            }
            char c = content[at];
            if (quoted) {
                if (c != '"') {
                    field.Put(c, true);
                } else if (at + 1 < lineEnd && content[at + 1] == '"') {
                    field.Put('"', true);
                    ++at;
                } else {
                    quoted = false;
                }
                ++at;
                continue;
            }
            if (c == ';') {
                more = nextLine(lineEnd);
                break;
            }
            if (c == '\\') {
                size_t after = at;
                while (after < lineEnd && (IsBlank(content[after]) || content[after] == '\\'))
                    ++after;
                if (after == lineEnd || content[after] == ';') {
                    field.TrimEnd();
                    if (!nextLine(lineEnd)) {
                        more = false;
                        break;
                    }
                    lineEnd = lineEndFrom(at);
                    while (at < lineEnd && IsBlank(content[at]))
                        ++at;
                    continue;
                }
            }
            if (c == '"')
                quoted = true;
            else if (c == '=' && !entry.hasKey && entry.fields.empty()) {
                entry.key = field.Take();
                entry.hasKey = true;
            } else if (c == ',')
                entry.fields.push_back(field.Take());
            else
                field.Put(c, false);
            ++at;
        }
        entry.fields.push_back(field.Take());
        if (current != std::string::npos)
            m_sections[current].entries.push_back(std::move(entry));
        if (!more)
            break;
    }

    // The tokens are put in once [Strings] is whole; its own values stay as written.
    const InfSection* strings = Section("Strings");
    for (InfSection& section : m_sections) {
        if (&section == strings)
            continue;
        for (InfEntry& entry : section.entries) {
            if (entry.hasKey)
                PutStrings(entry.key, strings);
            for (std::string& value : entry.fields)
                PutStrings(value, strings);
        }
    }
}

const InfSection* InfFile::Section(const std::string& name) const {
    for (const InfSection& section : m_sections) {
        if (SameWithoutCase(section.name, name))
            return &section;
    }
    return nullptr;
}

const InfEntry* InfFile::Entry(const std::string& section, const std::string& key) const {
    const InfSection* found = Section(section);
    for (size_t i = 0; found && i < found->entries.size(); ++i) {
        const InfEntry& entry = found->entries[i];
        if (entry.hasKey ? SameWithoutCase(entry.key, key)
                         : entry.fields.size() == 1 && SameWithoutCase(entry.fields[0], key))
            return &entry;
    }
    return nullptr;
}

namespace {

const InfEntry* EntryOfEither(const InfFile& inf, const std::string& section, const std::string& architecture,
                              const std::string& key) {
    const InfEntry* entry = inf.Entry(section + "." + architecture, key);
    return entry ? entry : inf.Entry(section, key);
}

} // namespace

bool SourceFolderOf(const InfFile& inf, const std::string& file, const std::string& architecture,
                    std::string& folder) {
    const InfEntry* listed = EntryOfEither(inf, "SourceDisksFiles", architecture, file);
    const InfEntry* disk =
        listed ? EntryOfEither(inf, "SourceDisksNames", architecture, listed->Field(0)) : nullptr;
    if (!disk)
        return false;
    std::string below = disk->Field(3) + "\\" + listed->Field(1), joined;
    for (size_t start = 0; start <= below.size();) {
        size_t stop = std::min(below.find_first_of("\\/", start), below.size());
        std::string part = below.substr(start, stop - start);
        start = stop + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." || part.find(':') != std::string::npos)
            return false;
        joined += (joined.empty() ? "" : "\\") + part;
    }
    folder = joined;
    return true;
}

namespace {

template <typename Match>
bool AnyValue(const InfFile& inf, Match match) {
    for (const InfSection& section : inf.Sections()) {
        for (const InfEntry& entry : section.entries) {
            if (entry.hasKey && match(entry.key))
                return true;
            for (const std::string& value : entry.fields) {
                if (match(value))
                    return true;
            }
        }
    }
    return false;
}

} // namespace

bool InfNamesId(const InfFile& inf, const std::string& lowered) {
    return !lowered.empty() &&
           AnyValue(inf, [&](const std::string& value) { return EndsAs(value, 0, lowered); });
}

bool InfNamesFile(const InfFile& inf, const std::string& lowered) {
    return !lowered.empty() && AnyValue(inf, [&](const std::string& value) {
        size_t slash = value.find_last_of('\\');
        size_t start = slash == std::string::npos ? (!value.empty() && value[0] == '@' ? 1 : 0) : slash + 1;
        return EndsAs(value, start, lowered);
    });
}

namespace {

bool IsLoweredText(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (c >= 'A' && c <= 'Z')
            return false;
    }
    return true;
}

} // namespace

InfSearch::InfSearch(std::vector<std::string> texts, std::vector<bool> wholeIds, std::vector<bool> wholeNames)
    : m_texts(std::move(texts)), m_wholeIds(std::move(wholeIds)), m_raw({}) {
    m_wholeIds.resize(m_texts.size(), false);
    wholeNames.resize(m_texts.size(), false);
    std::vector<std::string> swept = m_texts;
    for (size_t i = 0; i < m_texts.size(); ++i) {
        const std::string& text = m_texts[i];
        if (!IsLoweredText(text)) // held by no look
            continue;
        if (m_wholeIds[i]) {
            // From the enumerator's backslash on: the first '%' can only come after it.
            for (size_t at = text.find('\\'); at != std::string::npos && at + 1 < text.size();
                 at = text.find_first_of("\\&_", at + 1)) {
                swept.push_back(text.substr(0, at + 1) + "%");
                m_reasonFor.push_back(i);
            }
        } else {
            size_t dot = text.rfind('.');
            if (dot != std::string::npos && dot > 0) {
                swept.push_back("%" + text.substr(dot));
                m_reasonFor.push_back(i);
            }
        }
    }
    m_raw = LoweredTextSearch(std::move(swept), m_wholeIds, std::move(wholeNames)); // reasons: anywhere
}

void InfSearch::Find(const std::string& content, std::vector<bool>& held, std::vector<bool>& added) const {
    const size_t count = m_texts.size();
    m_raw.Find(content, held);
    added.assign(count, false);
    bool read = false;
    for (size_t r = 0; r < m_reasonFor.size(); ++r) {
        if (held[count + r] && !held[m_reasonFor[r]]) {
            added[m_reasonFor[r]] = true; // for now: the texts that want the second look
            read = true;
        }
    }
    held.resize(count);
    if (!read)
        return;
    InfFile inf(content);
    for (size_t i = 0; i < count; ++i) {
        if (added[i])
            added[i] = m_wholeIds[i] ? InfNamesId(inf, m_texts[i]) : InfNamesFile(inf, m_texts[i]);
    }
}
