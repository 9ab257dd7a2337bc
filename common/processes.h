// Other programs: starting one and waiting for it, ending one by its executable name.
#pragma once

#include <windows.h>

// Starts a program through the shell ("open", shown, the caller's current folder) and waits until it has
// ended, without limit. 1 when it was started and has ended, 0 when it could not be started. parameters
// may be null.
int RunClientSetup(const char* program, const char* parameters);

// Ends the first running process whose executable file name equals name (either case; a path or a part of
// a name never matches). 1 when such a process was found, whether or not it could be ended; 0 when the name
// is empty, the processes cannot be listed, or none has the name.
int KillProcessByName(const char* name);

// The process ID of the first running process whose executable file name equals name (either case), or 0.
DWORD FindProcessByName(const char* name);
