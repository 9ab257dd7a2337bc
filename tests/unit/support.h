// What the unit tests share: the log file, files and registry values of the prefix they run in, each
// restored when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// A test that reads what it logs: the program's name is set and the log is empty when it starts, and the
// log is removed when it ends.
class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// {WinDir}\temp\AutoRunLog.tmp of the prefix the tests run in.
std::string LogPath();
// The log's lines (CR LF removed); empty when there is no log.
std::vector<std::string> LogLines();
// The log's lines without their "MM/DD/YY HH:MM:SS  name: " stamp.
std::vector<std::string> LogMessages();
void DeleteLog();

// A file or folder is there.
bool Exists(const std::string& path);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
// A folder of the test's own under the user's temp folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; } // with a trailing backslash
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

// Sets (or, with a null value, deletes) a string value under HKEY_LOCAL_MACHINE for the test's duration.
class ScopedRegString {
public:
    ScopedRegString(const char* key, const char* name, const char* value);
    ~ScopedRegString();
    ScopedRegString(const ScopedRegString&) = delete;
    ScopedRegString& operator=(const ScopedRegString&) = delete;

private:
    std::string m_key, m_name, m_old;
    bool m_hadValue = false;
};

// Starts a program with a command line; answers its process handle (null if it did not start).
HANDLE StartProgram(const std::string& program, const std::string& arguments);
// Runs a program and waits for it; answers its exit code (or ~0u if it did not start).
DWORD RunAndWait(const std::string& program, const std::string& arguments);
// The folder of the running test program, with a trailing backslash.
std::string TestDir();
// A Linux path of the build tree as the test program sees it (Wine's Z: drive).
std::string WindowsPath(std::string linuxPath);
// A built file copied into a folder; answers the copy's path.
std::string CopyBuilt(const char* linuxPath, const std::string& folder, const std::string& name);

// One case of a table in tests/cases/ that a tool's test reads too: the words before the value, and the
// value, between the line's first and last double quote.
struct TableCase {
    std::string words;
    std::string value;
};
// Every case of such a table (a Linux path of the source tree); lines starting with '#' are comments.
std::vector<TableCase> ReadCaseTable(const char* linuxPath);

} // namespace testsupport
