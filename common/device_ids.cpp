#include "device_ids.h"

#include <cstring>

std::vector<std::string> LoweredIdList(const char* data, size_t length) {
    std::vector<std::string> ids;
    size_t at = 0;
    while (at < length && data[at] != '\0') {
        const void* end = memchr(data + at, '\0', length - at);
        if (!end)
            break;
        std::string id(data + at, static_cast<const char*>(end));
        for (char& c : id) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        at += id.size() + 1;
        ids.push_back(std::move(id));
    }
    return ids;
}

unsigned long long ParseDriverVersion(const char* text) {
    unsigned long long version = 0;
    int parts = 0;
    const char* at = text;
    while (parts < 4) {
        at += strspn(at, ". ");
        if (*at == '\0')
            break;
        size_t token = strcspn(at, ". ");
        unsigned long part = 0;
        for (size_t i = 0; i < token && at[i] >= '0' && at[i] <= '9'; ++i) {
            part = part * 10 + static_cast<unsigned long>(at[i] - '0');
            if (part > 0xffff)
                part = 0xffff; // a part cannot hold more; wrapping would make a newer version look older
        }
        version |= static_cast<unsigned long long>(part) << (48 - 16 * parts);
        ++parts;
        at += token;
    }
    return version;
}

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsHexDigit(char c) {
    c = LowerAscii(c);
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool StartsWithLowered(const std::string& text, size_t at, const char* lowered) {
    for (size_t i = 0; lowered[i]; ++i) {
        if (at + i >= text.size() || LowerAscii(text[at + i]) != lowered[i])
            return false;
    }
    return true;
}

// What the pieces of a whole ID's device part name.
struct IdPieces {
    bool vendor = false;  // a vid_XXXX piece
    bool product = false; // a pid_XXXX piece
};

// Whether id is a whole device ID (see IsWholeDeviceId); its enumerator's length and the device part's
// pieces go to the outputs.
bool ReadWholeId(const std::string& id, size_t& enumeratorLength, IdPieces& pieces) {
    enumeratorLength = id.find('\\');
    if (enumeratorLength == 0 || enumeratorLength == std::string::npos)
        return false;
    for (size_t i = 0; i < enumeratorLength; ++i) {
        char c = LowerAscii(id[i]);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    }
    size_t start = enumeratorLength + 1;
    for (size_t at = start;; ++at) {
        bool ends = at == id.size() || id[at] == '&' || id[at] == '\\';
        if (!ends) {
            unsigned char c = static_cast<unsigned char>(id[at]);
            if (c <= ' ' || c >= 0x7f || c == ',')
                return false;
            continue;
        }
        size_t length = at - start;
        if (length == 0)
            return false;
        for (const char* named : {"vid_", "pid_"}) {
            if (!StartsWithLowered(id, start, named))
                continue;
            if (length != 8 || !IsHexDigit(id[start + 4]) || !IsHexDigit(id[start + 5]) ||
                !IsHexDigit(id[start + 6]) || !IsHexDigit(id[start + 7]))
                return false;
            (named[0] == 'v' ? pieces.vendor : pieces.product) = true;
        }
        if (at == id.size())
            return true;
        start = at + 1;
    }
}

} // namespace

bool IsIdCharacter(char c) {
    c = LowerAscii(c);
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '&' || c == '_' || c == '\\';
}

bool IsWholeDeviceId(const std::string& id) {
    size_t enumeratorLength;
    IdPieces pieces;
    return ReadWholeId(id, enumeratorLength, pieces);
}

bool IsUsbFunctionId(const std::string& id) {
    // "usb\vid_" 8, four digits, "&pid_" 5, four digits.
    if (id.size() != 21 || !StartsWithLowered(id, 0, "usb\\vid_") || !StartsWithLowered(id, 12, "&pid_"))
        return false;
    for (size_t i = 0; i < 4; ++i) {
        if (!IsHexDigit(id[8 + i]) || !IsHexDigit(id[17 + i]))
            return false;
    }
    return true;
}

bool IsInterfaceId(const std::string& id) {
    size_t enumeratorLength;
    IdPieces pieces;
    if (!ReadWholeId(id, enumeratorLength, pieces))
        return false;
    if (pieces.vendor && pieces.product)
        return true;
    // A software enumerator's device is its own: no bus gives it a vendor and product.
    std::string enumerator = id.substr(0, enumeratorLength);
    for (char& c : enumerator)
        c = LowerAscii(c);
    return enumerator == "root" || enumerator == "umdf" || enumerator == "sw" || enumerator == "swd";
}
