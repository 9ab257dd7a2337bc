#include "double.h"

#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase; // this module, whether program or DLL

namespace {

std::string BesideWithExtension(const char* extension) {
    std::string path = DoublePath();
    size_t dot = path.rfind('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

} // namespace

std::string DoublePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH - 1);
    return path;
}

void Journal(const std::string& line) {
    std::string whole = line + "\r\n";
    HANDLE file = CreateFileA(BesideWithExtension(".journal").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr);
    CloseHandle(file);
}

int DoubleAnswer(const char* section, const char* key, int fallback) {
    return static_cast<int>(
        GetPrivateProfileIntA(section, key, fallback, BesideWithExtension(".ini").c_str()));
}
