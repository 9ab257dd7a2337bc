#include "log.h"

#include "handles.h"
#include "plain_files.h"

#include <winternl.h>

#include <atomic>
#include <cstdio>
#include <cstring>

std::string g_strModuleName = "UnknowName";

namespace {

constexpr size_t kMessageRoom = 260;

// {WinDir}\temp\AutoRunLog.tmp: the Windows folder's temp, not the user's, so that both programs and
// every account write the same file.
bool GetLogFilePath(char (&path)[kPathRoom]) {
    return GetWindowsFolder(path) && AppendBounded(path, kPathRoom, "\\temp\\AutoRunLog.tmp");
}

// Writers of both programs take this mutex around each append: an append-only handle puts each write at
// the end of the file, but not every file system does the "find the end, write there" as one step.
const char kLogMutexName[] = "PalvioInstoriaAutoRunLog";
constexpr DWORD kLogMutexWait = 2000;

// Once a wait for the writers' mutex has run out, the holder is taken to hang: later lines only try it, so
// that a program of some hundred lines is not held up 2 s for each.
std::atomic<bool> g_logMutexHangs{false};

// The writers' mutex, opened at the first line that gets it and kept for the program's life: opening a
// named object for every line cost a call to the system each time. Every thread waits on the one handle
// (a mutex is owned by a thread, not by a handle), and the system closes it when the program ends. Null
// while it could not be opened, so that a later line tries again.
std::atomic<HANDLE> g_logMutex{nullptr};

HANDLE LogMutex() {
    HANDLE mutex = g_logMutex.load();
    if (mutex)
        return mutex;
    HANDLE opened = CreateMutexA(nullptr, FALSE, kLogMutexName);
    if (!opened)
        return nullptr;
    // Two threads may open it at once: one handle is kept, the other closed.
    if (!g_logMutex.compare_exchange_strong(mutex, opened)) {
        CloseHandle(opened);
        return mutex;
    }
    return opened;
}

// Holds the writers' mutex while it lives. A writer that cannot get it (another account's mutex it may not
// open, or a holder that hangs) writes all the same: a line is worth more than its order.
class LogWriterLock {
public:
    LogWriterLock() : m_mutex(LogMutex()) {
        if (m_mutex) {
            DWORD waited = WaitForSingleObject(m_mutex, g_logMutexHangs ? 0 : kLogMutexWait);
            m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
            if (waited == WAIT_TIMEOUT)
                g_logMutexHangs = true;
        }
    }
    ~LogWriterLock() {
        if (m_owned)
            ReleaseMutex(m_mutex);
    }
    LogWriterLock(const LogWriterLock&) = delete;
    LogWriterLock& operator=(const LogWriterLock&) = delete;

private:
    HANDLE m_mutex;
    bool m_owned = false;
};

// The planted-name check's facts of an opened log: how many names it has, and its attributes, asked of the
// file system directly. GetFileInformationByHandle also reads the volume's serial number, which under Wine
// costs more than all the rest of a line together.
bool ReadNamesAndAttributes(HANDLE file, DWORD& names, DWORD& attributes) {
    IO_STATUS_BLOCK status;
    FILE_STANDARD_INFORMATION standard;
    FILE_BASIC_INFORMATION basic;
    if (NtQueryInformationFile(file, &status, &standard, sizeof standard, FileStandardInformation) < 0 ||
        NtQueryInformationFile(file, &status, &basic, sizeof basic, FileBasicInformation) < 0)
        return false;
    names = standard.NumberOfLinks;
    attributes = basic.FileAttributes;
    return true;
}

// An append handle to the log's own file. A planted name (see IsOwnLogFile) is deleted, which removes that
// name only and never the file it stands for, and a fresh log is opened in its place; one that comes back
// at once is not written to.
ScopedFileHandle OpenLogForAppend(const char* path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        ScopedFileHandle file(CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
        if (!file)
            return file;
        DWORD names = 0, attributes = 0;
        if (ReadNamesAndAttributes(file.Get(), names, attributes) && IsOwnLogFile(names, attributes))
            return file;
        file.Reset();
        if (!DeleteFileA(path))
            break;
    }
    return ScopedFileHandle();
}

void AppendToFile(const char* path, const std::string& text) {
    LogWriterLock lock;
    ScopedFileHandle file = OpenLogForAppend(path);
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace

void WriteLog(const char* format, ...) {
    char path[kPathRoom];
    if (!GetLogFilePath(path))
        return;
    char message[kMessageRoom];
    va_list args;
    va_start(args, format);
    FormatBoundedV(message, sizeof message, format, args); // a longer message is cut at its room
    va_end(args);
    SYSTEMTIME now;
    GetLocalTime(&now);
    AppendToFile(path, ComposeLogLine(now, g_strModuleName, message));
}

std::string RunningProgramName() {
    char module[kPathRoom] = {};
    GetModuleFileNameA(nullptr, module, kPathRoom - 1);
    return ProgramNameFromPath(module);
}

void InitLogFile() {
    char path[kPathRoom];
    if (!GetLogFilePath(path))
        return;
    g_strModuleName = RunningProgramName();

    // The size is read from the directory entry rather than through an opened file: a log that another
    // program holds open for writing must not look unreadable and be deleted for it.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return;
    unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (LogNeedsReset(size))
        ForceDeleteFile(path);
}
