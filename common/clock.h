// The one clock of the system: every pause and every tick count goes through it. The test tree also builds
// fast-clock variants of the programs, in which these run faster by a fixed factor so that the long pauses
// of the install road cost seconds (the shipped programs use the factor 1).
#pragma once

#include <windows.h>

// How many times faster than real time this build's clock runs.
DWORD ClockFactor();
// Pauses for the given number of milliseconds of the program's time.
void ClockSleep(DWORD milliseconds);
// The real milliseconds of the given program time, for a limit that Windows itself waits out (a timeout
// handed to a system call); a wait that was asked for stays at least 1 ms.
DWORD ClockRealMilliseconds(DWORD milliseconds);
// Milliseconds of the program's time since Windows started; wraps like GetTickCount.
DWORD ClockTickCount();
// Waits up to the given milliseconds of the program's time for an object (an event, a thread) to be
// signalled; answers WaitForSingleObject's result (WAIT_TIMEOUT when the time ran out).
DWORD ClockWait(HANDLE object, DWORD milliseconds);
// The same for the first of several objects (WaitForMultipleObjects's result).
DWORD ClockWaitAny(DWORD count, const HANDLE* objects, DWORD milliseconds);
