#include "file_contents.h"

#include "device_ids.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The compression codes of uncompressed bitmaps (BI_RGB, BI_BITFIELDS).
constexpr unsigned kUncompressed = 0, kBitFields = 3;

unsigned long long LittleEndian(const std::string& bytes, size_t at, size_t width) {
    unsigned long long value = 0;
    for (size_t i = width; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

void NarrowUtf16Text(std::string& content) {
    if (content.size() < 2 || content[0] != '\xFF' || content[1] != '\xFE')
        return;
    size_t units = (content.size() - 2) / 2;
    for (size_t i = 0; i < units; ++i) {
        unsigned unit = static_cast<unsigned char>(content[2 + 2 * i]) |
                        static_cast<unsigned>(static_cast<unsigned char>(content[3 + 2 * i])) << 8;
        content[i] = unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    content.resize(units);
}

void LowerToFirstZero(std::string& content) {
    content.resize(strlen(content.c_str())); // the text ends at its first zero byte
    for (char& c : content) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
}

namespace {

bool HasCapital(const std::string& text) {
    for (char c : text) {
        if (c >= 'A' && c <= 'Z')
            return true;
    }
    return false;
}

// Where in the lowered text a search anchors: a character that only matches itself (no capital folds onto
// it), so that memchr, which costs far less than lowering the whole text, finds the candidates. A backslash
// or an ampersand, the rarest in an INF file, where the text has one; then a dot, so that "%.sys" (a reason
// of InfSearch's to read a file) shares the sweep of the driver's name; npos for letters only.
size_t AnchorOf(const std::string& lowered) {
    for (char preferred : {'\\', '&', '_', '.'}) {
        size_t at = lowered.find(preferred);
        if (at != std::string::npos)
            return at;
    }
    for (size_t i = 0; i < lowered.size(); ++i) {
        if (lowered[i] < 'a' || lowered[i] > 'z')
            return i;
    }
    return std::string::npos;
}

// memchr a word at a time: the C library's byte loop is the scan's whole cost in a 32-bit program under
// emulation, and an INF file is mostly text without the anchor.
const char* FindByte(const char* from, const char* end, char byte) {
    using Word = uintptr_t;
    const Word ones = ~Word(0) / 0xFF; // 0x0101...
    const Word highs = ones << 7;      // 0x8080...
    const Word pattern = ones * static_cast<unsigned char>(byte);
    while (static_cast<size_t>(end - from) >= sizeof(Word)) {
        Word word;
        memcpy(&word, from, sizeof word);
        word ^= pattern; // a zero byte where the byte is
        if ((word - ones) & ~word & highs)
            break;
        from += sizeof(Word);
    }
    for (; from < end; ++from) {
        if (*from == byte)
            return from;
    }
    return nullptr;
}

bool MatchesFoldedAt(const char* start, const std::string& lowered) {
    for (size_t i = 0; i < lowered.size(); ++i) {
        char c = start[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowered[i])
            return false;
    }
    return true;
}

} // namespace

bool IsFileNameCharacter(char c) {
    if (static_cast<unsigned char>(c) <= ' ')
        return false;
    return strchr("\\/:*?\"<>|,;=%[]", c) == nullptr;
}

LoweredTextSearch::LoweredTextSearch(std::vector<std::string> texts, std::vector<bool> wholeIds,
                                     std::vector<bool> wholeNames)
    : m_texts(std::move(texts)), m_wholeIds(std::move(wholeIds)), m_wholeNames(std::move(wholeNames)) {
    m_wholeIds.resize(m_texts.size(), false);
    m_wholeNames.resize(m_texts.size(), false);
    m_anchors.assign(m_texts.size(), std::string::npos);
    m_searched.assign(m_texts.size(), false);
    for (size_t i = 0; i < m_texts.size(); ++i) {
        if (m_texts[i].empty() || HasCapital(m_texts[i]))
            continue;
        m_searched[i] = true;
        m_anchors[i] = AnchorOf(m_texts[i]);
        if (m_anchors[i] != std::string::npos && m_sweeps.find(m_texts[i][m_anchors[i]]) == std::string::npos)
            m_sweeps += m_texts[i][m_anchors[i]];
    }
}

bool LoweredTextSearch::StandsAlone(size_t i, const char* text, const char* start, const char* end) const {
    bool (*inside)(char) = m_wholeIds[i] ? IsIdCharacter : m_wholeNames[i] ? IsFileNameCharacter : nullptr;
    if (!inside)
        return true;
    const char* after = start + m_texts[i].size();
    // The text ends at its first zero byte, which is no ID or name character either.
    return (start == text || !inside(start[-1])) && (after == end || !inside(*after));
}

void LoweredTextSearch::Find(const std::string& content, std::vector<bool>& held) const {
    held.assign(m_texts.size(), false);
    const char* text = content.data();
    const char* end = text + content.size();
    // Only the text before the first zero byte is searched: looked up once a match needs it.
    const char* firstZero = nullptr;
    bool zeroKnown = false;
    auto beforeZero = [&](const char* matchEnd) {
        if (!zeroKnown) {
            firstZero = FindByte(text, end, '\0');
            zeroKnown = true;
        }
        return !firstZero || matchEnd <= firstZero;
    };
    size_t left = 0; // the texts not yet found that can be
    for (size_t i = 0; i < m_texts.size(); ++i) {
        if (!m_searched[i])
            continue;
        ++left;
        if (m_anchors[i] != std::string::npos)
            continue;
        // Letters only: every place is a candidate.
        const std::string& wanted = m_texts[i];
        for (const char* start = text; start + wanted.size() <= end && !held[i]; ++start)
            held[i] = MatchesFoldedAt(start, wanted) && StandsAlone(i, text, start, end) &&
                      beforeZero(start + wanted.size());
        left -= held[i] ? 1 : 0;
    }
    for (size_t sweep = 0; sweep < m_sweeps.size() && left > 0; ++sweep) {
        char anchor = m_sweeps[sweep];
        for (const char* from = text; from < end && left > 0;) {
            const char* hit = FindByte(from, end, anchor);
            if (!hit)
                break;
            for (size_t i = 0; i < m_texts.size(); ++i) {
                if (held[i] || m_anchors[i] == std::string::npos || m_texts[i][m_anchors[i]] != anchor ||
                    hit < text + m_anchors[i])
                    continue;
                const char* start = hit - m_anchors[i];
                if (start + m_texts[i].size() <= end && MatchesFoldedAt(start, m_texts[i]) &&
                    StandsAlone(i, text, start, end) && beforeZero(start + m_texts[i].size())) {
                    held[i] = true;
                    --left;
                }
            }
            from = hit + 1;
        }
    }
}

size_t FirstHeldLowered(const std::string& content, const std::vector<std::string>& texts) {
    std::vector<bool> held;
    LoweredTextSearch(texts).Find(content, held);
    for (size_t i = 0; i < held.size(); ++i) {
        if (held[i])
            return i;
    }
    return std::string::npos;
}

bool TextHoldsLowered(const std::string& content, const char* lowered) {
    if (!*lowered)
        return true;
    return FirstHeldLowered(content, {lowered}) == 0;
}

int TextContainsBoth(const std::string& content, const char* text1, const char* text2) {
    if (!text1 || !*text1)
        return 0;
    if (!TextHoldsLowered(content, text1))
        return 0;
    return (!text2 || !*text2 || TextHoldsLowered(content, text2)) ? 1 : 0;
}

bool IsWholeBitmap(const std::string& head, unsigned long long fileSize) {
    const size_t kFileHeader = 14, kCoreHeader = 12, kInfoHeader = 40;
    if (head.size() < kFileHeader + kCoreHeader || head[0] != 'B' || head[1] != 'M')
        return false;
    unsigned long long pixelsAt = LittleEndian(head, 10, 4);
    unsigned long long infoSize = LittleEndian(head, 14, 4);
    long long width, height;
    unsigned bitCount, compression = 0;
    unsigned long long imageSize = 0;
    if (infoSize == kCoreHeader) {
        width = static_cast<long long>(LittleEndian(head, 18, 2));
        height = static_cast<long long>(LittleEndian(head, 20, 2));
        bitCount = static_cast<unsigned>(LittleEndian(head, 24, 2));
    } else if (infoSize >= kInfoHeader && head.size() >= kFileHeader + kInfoHeader) {
        width = static_cast<int32_t>(LittleEndian(head, 18, 4));
        height = static_cast<int32_t>(LittleEndian(head, 22, 4));
        bitCount = static_cast<unsigned>(LittleEndian(head, 28, 2));
        compression = static_cast<unsigned>(LittleEndian(head, 30, 4));
        imageSize = LittleEndian(head, 34, 4);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || pixelsAt < kFileHeader + infoSize)
        return false;
    unsigned long long rows = static_cast<unsigned long long>(height < 0 ? -height : height);
    unsigned long long pixelBytes;
    if (compression == kUncompressed || compression == kBitFields) {
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
            bitCount != 32)
            return false;
        unsigned long long rowBytes = (static_cast<unsigned long long>(width) * bitCount + 31) / 32 * 4;
        pixelBytes = rowBytes * rows;
    } else {
        pixelBytes = imageSize; // run-length data announces its own size
    }
    return pixelsAt <= fileSize && pixelBytes <= fileSize - pixelsAt;
}
