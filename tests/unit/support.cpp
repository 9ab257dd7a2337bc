#include "support.h"

#include "common/handles.h"
#include "common/log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace testsupport {

void LoggingTest::SetUp() {
    InitLogFile();
    DeleteLog();
}

void LoggingTest::TearDown() {
    DeleteLog();
}

std::string LogPath() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\temp\\AutoRunLog.tmp";
}

std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::string text = ReadWholeFile(LogPath());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> LogMessages() {
    std::vector<std::string> messages;
    for (const std::string& line : LogLines()) {
        size_t colon = line.find(": ", 19);
        messages.push_back(colon == std::string::npos ? "<no stamp> " + line : line.substr(colon + 2));
    }
    return messages;
}

void DeleteLog() {
    SetFileAttributesA(LogPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(LogPath().c_str());
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

TempDir::TempDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    m_path = std::string(temp) + "suite-test-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++counter) + "\\";
    CreateDirectoryA(m_path.c_str(), nullptr);
}

namespace {

// Removes a folder with everything in it, read-only files included.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

TempDir::~TempDir() {
    // SHFileOperation would pull in the shell.
    RemoveTree(m_path);
}

ScopedRegString::ScopedRegString(const char* key, const char* name, const char* value)
    : m_key(key), m_name(name) {
    ScopedRegKey handle;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                             nullptr, handle.Receive(), nullptr));
    char old[1024] = {};
    DWORD size = sizeof old - 1;
    m_hadValue = RegQueryValueExA(handle.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                                  &size) == ERROR_SUCCESS;
    m_old = old;
    if (value)
        RegSetValueExA(handle.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(strlen(value) + 1));
    else
        RegDeleteValueA(handle.Get(), name);
}

ScopedRegString::~ScopedRegString() {
    ScopedRegKey handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, KEY_WRITE, handle.Receive()) != ERROR_SUCCESS)
        return;
    if (m_hadValue)
        RegSetValueExA(handle.Get(), m_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(m_old.c_str()),
                       static_cast<DWORD>(m_old.size() + 1));
    else
        RegDeleteValueA(handle.Get(), m_name.c_str());
}

HANDLE StartProgram(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

DWORD RunAndWait(const std::string& program, const std::string& arguments) {
    ScopedHandle process(StartProgram(program, arguments));
    if (!process) {
        // Seen once, seldom: the cause is what the next occurrence must name.
        fprintf(stderr, "RunAndWait: %s cannot be started, error %lu\n", program.c_str(), GetLastError());
        return ~0u;
    }
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = ~0u;
    GetExitCodeProcess(process.Get(), &code);
    return code;
}

std::string TestDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string dir = path;
    return dir.substr(0, dir.rfind('\\') + 1);
}

std::string WindowsPath(std::string linuxPath) {
    for (char& c : linuxPath) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + linuxPath;
}

std::vector<TableCase> ReadCaseTable(const char* linuxPath) {
    std::string table = ReadWholeFile(WindowsPath(linuxPath));
    std::vector<TableCase> cases;
    for (size_t start = 0, end = 0; start < table.size(); start = end + 1) {
        end = std::min(table.find('\n', start), table.size());
        std::string line = table.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t open = line.find('"'), close = line.rfind('"');
        EXPECT_LT(open, close) << line;
        if (open < close)
            cases.push_back({line.substr(0, open), line.substr(open + 1, close - open - 1)});
    }
    return cases;
}

std::string CopyBuilt(const char* linuxPath, const std::string& folder, const std::string& name) {
    std::string copy = folder + name;
    EXPECT_TRUE(CopyFileA(WindowsPath(linuxPath).c_str(), copy.c_str(), FALSE)) << linuxPath;
    return copy;
}

} // namespace testsupport
