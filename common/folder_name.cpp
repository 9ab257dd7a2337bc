#include "folder_name.h"

#include <cstring>

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows takes a device name for the device whatever follows its first dot, and ignores blanks before it.
bool IsDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = Upper(c);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (stem == device)
            return true;
    }
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

bool IsPlainFolderName(const std::string& name) {
    if (name.empty() || name.size() > kLongestPackageFolderName)
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || strchr("\\/:*?\"<>|", c))
            return false;
    }
    // "." and ".." end in a dot too.
    if (name.back() == '.' || name.back() == ' ')
        return false;
    return !IsDeviceName(name);
}

bool IsPlainFileName(const std::string& name, const char* extension) {
    size_t length = strlen(extension);
    if (name.size() <= length || !IsPlainFolderName(name))
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (Upper(name[name.size() - length + i]) != Upper(extension[i]))
            return false;
    }
    return true;
}
