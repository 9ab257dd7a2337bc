#include "file_contents.h"

#include <cstdint>
#include <cstring>

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

void LowerToFirstZero(std::string& content) {
    content.resize(strlen(content.c_str())); // the text ends at its first zero byte
    for (char& c : content) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
}

int TextContainsBoth(std::string& content, const char* text1, const char* text2) {
    if (!text1 || !*text1)
        return 0;
    LowerToFirstZero(content);
    if (content.find(text1) == std::string::npos)
        return 0;
    return (!text2 || !*text2 || content.find(text2) != std::string::npos) ? 1 : 0;
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
