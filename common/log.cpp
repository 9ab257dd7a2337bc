#include "log.h"

#include "checked_file.h"
#include "handles.h"
#include "plain_files.h"

#include <atomic>
#include <cstdio>
#include <cstring>

std::string g_strModuleName = "UnknowName";

namespace {

constexpr size_t kMessageRoom = 260;

// {WinDir}\temp\AutoRunLog.tmp: the Windows folder's temp, not the user's, so that both programs and
// every account write the same file.
bool GetLogFilePath(char (&path)[kPathRoom], const char* name) {
    return GetWindowsFolder(path) && AppendBounded(path, kPathRoom, name);
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

// The log's own name, and the second log's: where a program writes for the rest of its run once it has found
// the log's name refused (another program may have planted there a link to, or a second name of, a file it
// wants an elevated writer to change). Neither is ever deleted or moved for that: the plant is not the
// suite's, and the line that refuses it stands first in the second log.
const char kLogName[] = "\\temp\\AutoRunLog.tmp";
const char kSecondLogName[] = "\\temp\\AutoRunLog2.tmp";
std::atomic<bool> g_logRefused{false};

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Appends the text through a handle judged to be the log's own (an append-only handle writes at the end).
// kNone when written or when the file could not be opened at all.
FileRefusal AppendToOwnFile(const char* path, const std::string& text) {
    FileRefusal refusal;
    ScopedFileHandle file = OpenOwnFile(path, FILE_APPEND_DATA, kShareAll, true, refusal);
    if (file) {
        DWORD written = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    return refusal;
}

void AppendLine(const SYSTEMTIME& now, const char* message) {
    char path[kPathRoom], second[kPathRoom];
    if (!GetLogFilePath(path, kLogName))
        return;
    std::string line = ComposeLogLine(now, g_strModuleName, message);
    LogWriterLock lock;
    FileRefusal refusal = FileRefusal::kNone;
    if (!g_logRefused) {
        refusal = AppendToOwnFile(path, line);
        if (refusal == FileRefusal::kNone)
            return;
    }
    if (!GetLogFilePath(second, kSecondLogName))
        return;
    if (refusal != FileRefusal::kNone) {
        if (!g_logRefused.exchange(true)) {
            char refused[kMessageRoom];
            FormatBounded(refused, sizeof refused,
                          "ERR: The log %s is refused: %s; this program's lines go to %s", path,
                          RefusalReason(refusal), second);
            AppendToOwnFile(second, ComposeLogLine(now, g_strModuleName, refused));
        }
    }
    AppendToOwnFile(second, line);
}

// Deletes a log that has reached its reset size, through a handle judged to be the log's own: a planted
// name is neither deleted nor has the read-only attribute of the file it stands for cleared.
void ResetWhenFull(const char* path) {
    FileRefusal refusal;
    OpenedFileFacts facts;
    ScopedFileHandle file =
        OpenOwnFile(path, DELETE | FILE_WRITE_ATTRIBUTES, kShareAll, false, refusal, &facts);
    if (file && LogNeedsReset(facts.size))
        DeleteOwnFile(file.Get(), facts.attributes);
}

} // namespace

void WriteLog(const char* format, ...) {
    char message[kMessageRoom];
    va_list args;
    va_start(args, format);
    FormatBoundedV(message, sizeof message, format, args); // a longer message is cut at its room
    va_end(args);
    SYSTEMTIME now;
    GetLocalTime(&now);
    AppendLine(now, message);
}

std::string RunningProgramName() {
    char module[kPathRoom] = {};
    GetModuleFileNameA(nullptr, module, kPathRoom - 1);
    return ProgramNameFromPath(module);
}

void InitLogFile() {
    char path[kPathRoom], second[kPathRoom];
    if (!GetLogFilePath(path, kLogName) || !GetLogFilePath(second, kSecondLogName))
        return;
    g_strModuleName = RunningProgramName();
    // A log that another program holds open without sharing it is kept: it cannot be judged.
    ResetWhenFull(path);
    ResetWhenFull(second);
}
