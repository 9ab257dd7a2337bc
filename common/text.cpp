#include "text.h"

#include <climits>
#include <cstdio>
#include <cstring>

bool FormatBoundedV(char* out, size_t room, const char* format, va_list args) {
    if (room == 0)
        return false;
    // The C runtime's _vsnprintf answers -1 when the text is cut, and then leaves it unterminated.
    int written = _vsnprintf(out, room, format, args);
    if (written < 0 || static_cast<size_t>(written) >= room) {
        out[room - 1] = '\0';
        return false;
    }
    return true;
}

bool FormatBounded(char* out, size_t room, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool fitted = FormatBoundedV(out, room, format, args);
    va_end(args);
    return fitted;
}

bool CopyBounded(char* out, size_t room, const char* text) {
    if (room == 0)
        return false;
    size_t length = text ? strlen(text) : 0;
    bool fitted = length < room;
    if (!fitted)
        length = room - 1;
    if (length > 0)
        memcpy(out, text, length);
    out[length] = '\0';
    return fitted;
}

bool AppendBounded(char* out, size_t room, const char* text) {
    size_t used = strnlen(out, room);
    if (used >= room)
        return false;
    return CopyBounded(out + used, room - used, text);
}

bool ScanDecimal(const char* text, int* value) {
    const char* at = text;
    while (*at == ' ' || (*at >= '\t' && *at <= '\r'))
        ++at;
    bool negative = *at == '-';
    if (*at == '-' || *at == '+')
        ++at;
    if (*at < '0' || *at > '9')
        return false;
    long long number = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
        number = number * 10 + (*at - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            number = static_cast<long long>(INT_MAX) + 1; // stays past the range however long the number
    }
    if (negative)
        number = -number;
    *value = number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : static_cast<int>(number);
    return true;
}
