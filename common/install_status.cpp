#include "install_status.h"

#include "checked_file.h"
#include "files.h"
#include "log.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace {

const char kStatusSection[] = "drive";
const char kStatusKey[] = "status";
const char kResultSection[] = "result";

struct ProfileValue {
    const char* section;
    const char* key;
    const char* value;
};

bool ReadWhole(HANDLE file, size_t size, std::string& text) {
    text.assign(size, '\0');
    DWORD read = 0;
    return size == 0 || (ReadFile(file, &text[0], static_cast<DWORD>(size), &read, nullptr) && read == size);
}

bool WriteWhole(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           (text.empty() ||
            (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
             written == text.size())) &&
           SetEndOfFile(file);
}

// Sets the values in the status file through one handle judged to be the file's own; the first value names
// the write in a failure's line.
bool WriteValues(std::initializer_list<ProfileValue> values) {
    char path[kPathRoom];
    if (!GetInstallStatusPath(path))
        return false;
    const ProfileValue& first = *values.begin();
    FileRefusal refusal;
    OpenedFileFacts facts;
    // Shared for reading only: a second writer must not interleave its change with this one.
    ScopedFileHandle file =
        OpenOwnFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true, refusal, &facts);
    if (refusal != FileRefusal::kNone) {
        WriteLog("ERR: The install status file %s is refused: %s; it is not written", path,
                 RefusalReason(refusal));
        return false;
    }
    if (file && facts.size > kStatusFileRoom) {
        WriteLog("ERR: The install status file %s is larger than %u bytes; it is not written", path,
                 static_cast<unsigned>(kStatusFileRoom));
        return false;
    }
    std::string text;
    bool set = file && ReadWhole(file.Get(), static_cast<size_t>(facts.size), text);
    for (const ProfileValue& value : values)
        set = set && SetProfileValue(text, value.section, value.key, value.value);
    if (set && WriteWhole(file.Get(), text))
        return true;
    WriteLog("ERR: Write %s %s to %s failed, error %lu", first.key, first.value, path, GetLastError());
    return false;
}

// Blanks and tabs around a piece of a line, as the profile functions ignore them.
void Trim(const char*& begin, const char*& end) {
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r'))
        --end;
}

bool SameName(const char* begin, const char* end, const char* name) {
    size_t length = strlen(name);
    return static_cast<size_t>(end - begin) == length && _strnicmp(begin, name, length) == 0;
}

// The section a line opens ("[drive]" gives drive), or false for a line that opens none.
bool SectionOfLine(const char* begin, const char* end, const char*& nameBegin, const char*& nameEnd) {
    Trim(begin, end);
    if (begin == end || *begin != '[')
        return false;
    const char* close = static_cast<const char*>(memchr(begin, ']', static_cast<size_t>(end - begin)));
    if (!close)
        return false;
    nameBegin = begin + 1;
    nameEnd = close;
    Trim(nameBegin, nameEnd);
    return true;
}

bool LineHasKey(const char* begin, const char* end, const char* key) {
    const char* equals = static_cast<const char*>(memchr(begin, '=', static_cast<size_t>(end - begin)));
    if (!equals)
        return false;
    const char* nameEnd = equals;
    Trim(begin, nameEnd);
    return SameName(begin, nameEnd, key);
}

bool IsBlank(const char* begin, const char* end) {
    Trim(begin, end);
    return begin == end;
}

} // namespace

bool SetProfileValue(std::string& text, const char* section, const char* key, const char* value) {
    if (text.size() >= 2 &&
        ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
        return false;
    const std::string line = std::string(key) + "=" + value;
    bool inSection = false;
    size_t insertAt = std::string::npos; // after the section's last line that is not blank
    size_t start = 0;
    while (start < text.size()) {
        size_t newline = text.find('\n', start);
        size_t next = newline == std::string::npos ? text.size() : newline + 1;
        size_t contentEnd = newline == std::string::npos ? text.size() : newline;
        if (contentEnd > start && text[contentEnd - 1] == '\r')
            --contentEnd;
        const char* begin = text.data() + start;
        const char* end = text.data() + contentEnd;
        const char *nameBegin, *nameEnd;
        if (SectionOfLine(begin, end, nameBegin, nameEnd)) {
            if (inSection)
                break; // the section ended without the key
            inSection = SameName(nameBegin, nameEnd, section);
            if (inSection)
                insertAt = next;
        } else if (inSection && LineHasKey(begin, end, key)) {
            text.replace(start, contentEnd - start, line);
            return true;
        } else if (inSection && !IsBlank(begin, end)) {
            insertAt = next;
        }
        start = next;
    }
    // A last line without its line end gets one before anything follows it.
    auto endLineBefore = [&text](size_t at) {
        if (at > 0 && text[at - 1] != '\n') {
            text.insert(at, "\r\n");
            return at + 2;
        }
        return at;
    };
    if (insertAt != std::string::npos) {
        insertAt = endLineBefore(insertAt);
        text.insert(insertAt, line + "\r\n");
        return true;
    }
    size_t at = endLineBefore(text.size());
    text.insert(at, std::string("[") + section + "]\r\n" + line + "\r\n");
    return true;
}

bool GetInstallStatusPath(char (&path)[kPathRoom]) {
    char temp[kPathRoom] = {};
    path[0] = '\0';
    if (!GetTempFolder(temp))
        return false;
    if (!FormatBounded(path, kPathRoom, "%s%s", temp, "QvInstallDriveCfg.ini")) {
        WriteLog("ERR: The path of the install status file is longer than %u characters",
                 static_cast<unsigned>(kPathRoom - 1));
        path[0] = '\0';
        return false;
    }
    return true;
}

int ReadInstallStatus() {
    char path[kPathRoom];
    if (!GetInstallStatusPath(path))
        return 1;
    return static_cast<int>(GetPrivateProfileIntA(kStatusSection, kStatusKey, 1, path));
}

int WriteInstallStatus(int status) {
    char value[16];
    FormatBounded(value, sizeof value, "%d", status);
    return WriteValues({{kStatusSection, kStatusKey, value}}) ? 1 : 0;
}

int WriteRunResult(int code, const char* step) {
    char value[16], time[32];
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FormatBounded(value, sizeof value, "%d", code);
    FormatBounded(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    bool written = WriteValues(
        {{kResultSection, "code", value}, {kResultSection, "step", step}, {kResultSection, "time", time}});
    return written ? 1 : 0;
}
