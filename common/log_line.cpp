#include "log_line.h"

#include "text.h"

#include <cstring>

std::string ProgramNameFromPath(const char* modulePath) {
    const char* slash = strrchr(modulePath, '\\');
    const char* name = slash ? slash + 1 : modulePath;
    const char* dot = strrchr(name, '.');
    return dot ? std::string(name, dot) : std::string();
}

bool LogNeedsReset(unsigned long long size) {
    return size >= kLogResetSize;
}

std::string ComposeLogLine(const SYSTEMTIME& time, const std::string& name, const char* message) {
    char stamp[32];
    FormatBounded(stamp, sizeof stamp, "%02u/%02u/%02u %02u:%02u:%02u  ", time.wMonth, time.wDay,
                  time.wYear % 100u, time.wHour, time.wMinute, time.wSecond);
    std::string line;
    line.reserve(strlen(stamp) + name.size() + strlen(message) + 8);
    line += stamp;
    line += name;
    line += ": ";
    for (const char* c = message; *c; ++c) {
        if (*c == '\n')
            line += '\r';
        line += *c;
    }
    line += "\r\n";
    return line;
}
