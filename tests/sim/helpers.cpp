// The simulated PC's small pure pieces: results, text lists, numbers and names.
#include "simpc.h"

#include <setupapi.h>

#include <cstdio>
#include <cstring>

namespace sim {

Result Result::Fail(const char* format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    // A message cut at its room still says what failed; nothing is written past it.
    FormatBoundedV(message, sizeof message, format, args);
    va_end(args);
    Result result;
    result.m_failed = true;
    result.m_message = message;
    return result;
}

bool ParseDriveLetter(const char* text, char* letter) {
    if (!text)
        return false;
    char first = text[0];
    if (first >= 'a' && first <= 'z')
        first = static_cast<char>(first - 'a' + 'A');
    if (first < 'A' || first > 'Z')
        return false;
    const char* rest = text + 1;
    if (*rest == ':')
        ++rest;
    if (*rest == '\\' && rest[-1] == ':')
        ++rest;
    if (*rest != '\0')
        return false;
    *letter = first;
    return true;
}

std::vector<std::string> SplitList(const char* text, char separator) {
    std::vector<std::string> items;
    if (!text)
        return items;
    const char* start = text;
    for (;;) {
        const char* end = strchr(start, separator);
        size_t length = end ? static_cast<size_t>(end - start) : strlen(start);
        if (length > 0)
            items.emplace_back(start, length);
        if (!end)
            return items;
        start = end + 1;
    }
}

std::string MultiSz(const std::vector<std::string>& items) {
    std::string image;
    for (const std::string& item : items) {
        image += item;
        image += '\0';
    }
    image += '\0';
    return image;
}

std::vector<std::string> SplitMultiSz(const char* data, size_t size) {
    std::vector<std::string> items;
    size_t at = 0;
    while (at < size && data[at] != '\0') {
        size_t length = strnlen(data + at, size - at);
        items.emplace_back(data + at, length);
        at += length + 1;
    }
    return items;
}

bool EqualsIgnoreCase(const char* a, const char* b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (; *a && *b; ++a, ++b) {
        if (lower(*a) != lower(*b))
            return false;
    }
    return *a == *b;
}

bool NumberedText(const char* pattern, int number, char* out, size_t room) {
    char digits[16];
    FormatBounded(digits, sizeof digits, "%04d", number);
    if (!CopyBounded(out, room, ""))
        return false;
    char piece[2] = {};
    for (const char* at = pattern; *at; ++at) {
        piece[0] = *at;
        if (!AppendBounded(out, room, *at == '#' ? digits : piece))
            return false;
    }
    return true;
}

bool ParseCount(const char* text, int* value) {
    if (!text)
        return false;
    size_t digits = strspn(text, "0123456789");
    if (digits == 0 || digits > 6 || text[digits] != '\0')
        return false;
    *value = atoi(text);
    return true;
}

bool ParseGuid(const char* text, GUID* guid) {
    // {8-4-4-4-12} hex digits, nothing else.
    static const char kShape[] = "{hhhhhhhh-hhhh-hhhh-hhhh-hhhhhhhhhhhh}";
    if (!text || strlen(text) != sizeof kShape - 1)
        return false;
    for (size_t i = 0; kShape[i]; ++i) {
        bool hex = strchr("0123456789abcdefABCDEF", text[i]) != nullptr && text[i] != '\0';
        if (kShape[i] == 'h' ? !hex : text[i] != kShape[i])
            return false;
    }
    auto hexValue = [&](size_t at, size_t count) {
        unsigned long long value = 0;
        for (size_t i = 0; i < count; ++i) {
            char c = text[at + i];
            int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return value;
    };
    guid->Data1 = static_cast<unsigned long>(hexValue(1, 8));
    guid->Data2 = static_cast<unsigned short>(hexValue(10, 4));
    guid->Data3 = static_cast<unsigned short>(hexValue(15, 4));
    guid->Data4[0] = static_cast<unsigned char>(hexValue(20, 2));
    guid->Data4[1] = static_cast<unsigned char>(hexValue(22, 2));
    for (size_t i = 0; i < 6; ++i)
        guid->Data4[2 + i] = static_cast<unsigned char>(hexValue(25 + 2 * i, 2));
    return true;
}

bool AppendQuotedArgument(char* commandLine, size_t room, const char* argument) {
    // The C runtime's rules: inside quotes, 2n backslashes before a quote are n backslashes and the quote
    // ends the argument; 2n+1 are n backslashes and a literal quote; other backslashes are literal.
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char* at = argument; *at; ++at) {
        if (*at == '\\') {
            ++backslashes;
            continue;
        }
        if (*at == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted += *at;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    bool empty = commandLine[0] == '\0';
    return (empty || AppendBounded(commandLine, room, " ")) &&
           AppendBounded(commandLine, room, quoted.c_str());
}

std::string DescribeError(DWORD code) {
    static const struct {
        DWORD code;
        const char* name;
    } kNames[] = {
        {ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND"},
        {ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND"},
        {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"},
        {ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER"},
        {ERROR_INVALID_FUNCTION, "ERROR_INVALID_FUNCTION"},
        {ERROR_NOT_SUPPORTED, "ERROR_NOT_SUPPORTED"},
        {ERROR_ALREADY_EXISTS, "ERROR_ALREADY_EXISTS"},
        {ERROR_CANNOT_FIND_WND_CLASS, "ERROR_CANNOT_FIND_WND_CLASS"},
        {ERROR_NO_MORE_ITEMS, "ERROR_NO_MORE_ITEMS"},
        {ERROR_DEVINST_ALREADY_EXISTS, "ERROR_DEVINST_ALREADY_EXISTS"},
        {ERROR_INVALID_DEVINST_NAME, "ERROR_INVALID_DEVINST_NAME"},
        {ERROR_NO_SUCH_DEVINST, "ERROR_NO_SUCH_DEVINST"},
        {ERROR_INVALID_CLASS, "ERROR_INVALID_CLASS"},
        {ERROR_CLASS_MISMATCH, "ERROR_CLASS_MISMATCH"},
        {ERROR_INVALID_REG_PROPERTY, "ERROR_INVALID_REG_PROPERTY"},
    };
    char text[96];
    const char* name = "";
    for (const auto& known : kNames) {
        if (known.code == code)
            name = known.name;
    }
    FormatBounded(text, sizeof text, "error 0x%lx%s%s", static_cast<unsigned long>(code), *name ? ", " : "",
                  name);
    return text;
}

} // namespace sim
