#include "request.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace {

std::vector<std::string> Words(const char* text, const char* separators) {
    std::vector<std::string> words;
    while (*text) {
        text += strspn(text, separators);
        size_t length = strcspn(text, separators);
        if (length > 0)
            words.emplace_back(text, length);
        text += length;
    }
    return words;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool ParseCommandLine(const char* commandLine, std::string& mode, char& driveLetter) {
    std::vector<std::string> words = Words(commandLine ? commandLine : "", " \t");
    const std::string prefix = "-cdrom:";
    if (words.size() != 2 || words[0].size() < 2 || words[0][0] != '-')
        return false;
    const std::string& drive = words[1];
    if (drive.size() != prefix.size() + 2 || drive.compare(0, prefix.size(), prefix) != 0 ||
        drive.back() != ':' || !isalpha(static_cast<unsigned char>(drive[prefix.size()])))
        return false;
    mode = words[0];
    driveLetter = static_cast<char>(toupper(static_cast<unsigned char>(drive[prefix.size()])));
    return true;
}

bool ParseCommandBytes(const std::string& text, unsigned char (&bytes)[16], int& count) {
    std::vector<std::string> words = Words(text.c_str(), " ,\t");
    if (words.empty() || words.size() > 16)
        return false;
    count = 0;
    for (const std::string& word : words) {
        std::string digits =
            word.size() > 2 && (word.compare(0, 2, "0x") == 0 || word.compare(0, 2, "0X") == 0)
                ? word.substr(2)
                : word;
        if (digits.empty() || digits.size() > 2)
            return false;
        int value = 0;
        for (char c : digits) {
            int digit = HexDigit(c);
            if (digit < 0)
                return false;
            value = value * 16 + digit;
        }
        bytes[count++] = static_cast<unsigned char>(value);
    }
    return true;
}
