// Other programs: starting one and waiting for it, ending one by its executable name.
#pragma once

#include <windows.h>

// How a wait for a started program ended.
enum class ChildWait { kNotStarted, kEnded, kStopped, kTimedOut };

// Starts a program through the shell ("open", shown, no error box of the shell's own) and waits until it has
// ended, until `stop` (an event; may be null) is set, or until `limit` milliseconds of the program's clock
// have passed; the last two leave the program running. kNotStarted: *shellCode holds the shell's SE_ERR
// code.
ChildWait ShellStartAndWait(const char* program, const char* parameters, int* shellCode,
                            HANDLE stop = nullptr, DWORD limit = INFINITE);

// Starts a program through the shell ("open", shown, the caller's current folder) and waits until it has
// ended, or until `stop` is set or `limit` has passed (see ShellStartAndWait). 1 when it was started and
// has ended (or the wait was given up on `stop`), 0 when it could not be started or did not end within the
// limit (it is left running). parameters may be null.
int RunClientSetup(const char* program, const char* parameters, HANDLE stop = nullptr,
                   DWORD limit = INFINITE);

// Starts a program through the shell ("open", no owner window) without waiting for it, in the given working
// folder (null: the caller's) and show mode. A failed start shows no message box of the shell: the caller
// logs it. Answers the shell's code, above 32 when the program was started (see ShellStarted).
unsigned ShellOpen(const char* program, const char* parameters, const char* directory, int show);

// Whether a shell code means the program was started: the shell answers 32 or below for every failure.
inline bool ShellStarted(unsigned code) {
    return code > 32;
}

// Ends the first running process whose executable file name equals name (either case; a path or a part of
// a name never matches). 1 when such a process was found, whether or not it could be ended; 0 when the name
// is empty, the processes cannot be listed, or none has the name.
int KillProcessByName(const char* name);

// The process ID of the first running process other than `except` whose executable file name equals name
// (either case), or 0.
DWORD FindProcessByName(const char* name, DWORD except = 0);
