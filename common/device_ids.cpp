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
