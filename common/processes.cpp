#include "processes.h"

#include "clock.h"
#include "handles.h"
#include "log.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <mbstring.h>

// The log lines put the parameters in full-width parentheses of code page 936 (bytes A3 A8 and A3 A9).
#define FULLWIDTH_OPEN "\xA3\xA8"
#define FULLWIDTH_CLOSE "\xA3\xA9"

ChildWait ShellStartAndWait(const char* program, const char* parameters, int* shellCode, HANDLE stop,
                            DWORD limit) {
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof request;
    // A program that cannot be started is reported through the log and the result; without NO_UI the shell
    // would also show a message box and hold the calling thread until someone closes it.
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = "open";
    request.lpFile = program;
    request.lpParameters = parameters;
    request.nShow = SW_SHOW;
    if (!ShellExecuteExA(&request)) {
        // The shell leaves its SE_ERR code in the instance field.
        *shellCode = static_cast<int>(reinterpret_cast<INT_PTR>(request.hInstApp));
        return ChildWait::kNotStarted;
    }
    // A start handed to an already running program (DDE) comes without a process to wait for.
    ScopedHandle process(request.hProcess);
    if (!process)
        return ChildWait::kEnded;
    HANDLE ends[] = {process.Get(), stop};
    switch (ClockWaitAny(stop ? 2 : 1, ends, limit)) {
    case WAIT_OBJECT_0 + 1:
        return ChildWait::kStopped;
    case WAIT_TIMEOUT:
        return ChildWait::kTimedOut;
    default:
        return ChildWait::kEnded;
    }
}

int RunClientSetup(const char* program, const char* parameters, HANDLE stop, DWORD limit) {
    // How the lines show an absent parameter text, the same with every C runtime.
    const char* shown = parameters ? parameters : "(null)";
    WriteLog("===> RunClientSetup: %s" FULLWIDTH_OPEN "%s" FULLWIDTH_CLOSE " setup, SUC...", program, shown);
    int shellCode = 0;
    switch (ShellStartAndWait(program, parameters, &shellCode, stop, limit)) {
    case ChildWait::kNotStarted:
        WriteLog("ERR: ShellExecuteEx %s (%s) error,last error:%d...", program, shown, shellCode);
        return 0;
    case ChildWait::kStopped:
        WriteLog("INF: RunClientSetup: %s is left running, the wait for it was given up", program);
        return 1;
    case ChildWait::kTimedOut:
        WriteLog("ERR: RunClientSetup: %s has not ended within %lu s; it is left running", program,
                 static_cast<unsigned long>(limit / 1000));
        return 0;
    case ChildWait::kEnded:
        break;
    }
    WriteLog("<=== RunClientSetup: %s" FULLWIDTH_OPEN "%s" FULLWIDTH_CLOSE " setup, SUC...", program, shown);
    return 1;
}

unsigned ShellOpen(const char* program, const char* parameters, const char* directory, int show) {
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof request;
    // Without NO_UI a failed start would also show the shell's message box and hold the caller until closed.
    request.fMask = SEE_MASK_FLAG_NO_UI;
    request.lpVerb = "open";
    request.lpFile = program;
    request.lpParameters = parameters;
    request.lpDirectory = directory;
    request.nShow = show;
    BOOL started = ShellExecuteExA(&request);
    // The shell leaves its code in the instance field; a success whose code is not above 32 (or a failure
    // whose code is) must not be read the other way.
    auto code = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(request.hInstApp));
    if (started)
        return ShellStarted(code) ? code : 33;
    return ShellStarted(code) ? 0 : code;
}

namespace {

// Walks the running processes to the first other than `except` whose executable file name equals name,
// compared whole, in either case and aware of double-byte characters.
bool FindProcessEntry(const char* name, PROCESSENTRY32& entry, DWORD except = 0) {
    if (!name || !*name)
        return false;
    ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID != except &&
            _mbsicmp(reinterpret_cast<const unsigned char*>(name),
                     reinterpret_cast<const unsigned char*>(entry.szExeFile)) == 0)
            return true;
    }
    return false;
}

} // namespace

DWORD FindProcessByName(const char* name, DWORD except) {
    PROCESSENTRY32 entry;
    return FindProcessEntry(name, entry, except) ? entry.th32ProcessID : 0;
}

int KillProcessByName(const char* name) {
    PROCESSENTRY32 entry;
    if (!FindProcessEntry(name, entry))
        return 0;
    WriteLog("Begin to terminate process:%s", entry.szExeFile);
    // Ending a process needs only the right to end it; asking for more fails where only that is granted.
    ScopedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    if (process) {
        WriteLog("Terminate process:%s Suc", entry.szExeFile);
        TerminateProcess(process.Get(), 0);
    } else {
        WriteLog("Terminate process:%s Failed", entry.szExeFile);
    }
    return 1;
}
