// What the programs read out of a file's bytes: text searches and the checks of a bitmap's headers. Pure
// functions of the bytes, without a system call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// An INF file stored as UTF-16 little-endian text (it begins with the mark FF FE), as Windows' own tools and
// many makers write them, becomes the 8-bit text the searches read: each character below 0x80 its byte, any
// other '?' (the IDs and file names searched for are ASCII), a zero character a zero byte. Any other text
// stays as it is. In place: no second buffer.
void NarrowUtf16Text(std::string& content);
// Cuts the text at its first zero byte and lowers its letters A to Z.
void LowerToFirstZero(std::string& content);
// Whether the text, up to its first zero byte and with its letters A to Z taken as lowered, holds the
// lowered text (which, holding a capital, is found nowhere). The text itself is neither copied nor changed.
bool TextHoldsLowered(const std::string& content, const char* lowered);
// The same for several texts in one sweep of the content: the index of the first of them, in their order,
// that the content holds; npos when it holds none (empty texts are held by none).
size_t FirstHeldLowered(const std::string& content, const std::vector<std::string>& texts);
// Whether a character may stand inside a file name as an INF writes one: anything but a blank, a control
// character, a path separator and the characters that part an INF line's values (, ; = % [ ] and ").
bool IsFileNameCharacter(char c);
// Lowered texts looked for in many files: what a search needs of them is worked out once, and each file's
// content is swept once for all of them, without a copy or an allocation.
class LoweredTextSearch {
public:
    // wholeIds[i] true: texts[i] is a device ID, held only as a whole ID, where the characters before and
    // after it are no ID characters (IsIdCharacter): "usb\vid_12d1&pid_1001&mi_01" is not held by a text
    // naming only "...&mi_011" or "xusb\vid_12d1...". wholeNames[i] true: texts[i] is a file name, held
    // only as a whole name, where the characters before and after it are no file-name characters
    // (IsFileNameCharacter): "usbser.sys" is held by "%12%\usbser.sys" and "usbser.sys,,,0x4" but not by
    // "xusbser.sys" or "usbser.sys2". Other texts are held anywhere.
    explicit LoweredTextSearch(std::vector<std::string> texts, std::vector<bool> wholeIds = {},
                               std::vector<bool> wholeNames = {});
    // held[i]: whether the content holds texts[i] as TextHoldsLowered finds it (and, for a device ID, as a
    // whole ID); an empty text is held by none. held is resized to the texts' count and reused.
    void Find(const std::string& content, std::vector<bool>& held) const;

private:
    // Whether texts[i], matching at start of the text [text, end), stands there as a whole ID if it must.
    bool StandsAlone(size_t i, const char* text, const char* start, const char* end) const;

    std::vector<std::string> m_texts;
    std::vector<bool> m_wholeIds;
    std::vector<bool> m_wholeNames;
    std::vector<size_t> m_anchors; // where each text anchors; npos for letters only or a text held by none
    std::vector<bool> m_searched;  // false for an empty text or one with a capital, which nothing holds
    std::string m_sweeps;          // the anchor characters, each swept once for every text it anchors
};
// The search of FileContainsText over text already in memory: 1 when it holds text1 and, unless text2 is
// null or empty, text2 too, as TextHoldsLowered finds them; 0 for an empty text1.
int TextContainsBoth(const std::string& content, const char* text1, const char* text2);
// Whether the first bytes of a .bmp file (head) and its size describe a whole bitmap: complete headers
// and all the pixel data they announce.
bool IsWholeBitmap(const std::string& head, unsigned long long fileSize);
// How many of a file's first bytes IsWholeBitmap needs.
constexpr size_t kBitmapHeadSize = 14 + 40;
