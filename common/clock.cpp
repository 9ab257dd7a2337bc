#include "clock.h"

#ifndef SUITE_CLOCK_FACTOR
#define SUITE_CLOCK_FACTOR 1
#endif
static_assert(SUITE_CLOCK_FACTOR >= 1, "the clock factor speeds time up, it never slows it down");

DWORD ClockFactor() {
    return SUITE_CLOCK_FACTOR;
}

DWORD ClockRealMilliseconds(DWORD milliseconds) {
    DWORD real = milliseconds / SUITE_CLOCK_FACTOR;
    // A pause that was asked for stays a pause (a polling loop must not turn into a busy loop).
    if (real == 0 && milliseconds > 0)
        real = 1;
    return real;
}

void ClockSleep(DWORD milliseconds) {
    Sleep(ClockRealMilliseconds(milliseconds));
}

DWORD ClockWait(HANDLE object, DWORD milliseconds) {
    return ClockWaitAny(1, &object, milliseconds);
}

DWORD ClockWaitAny(DWORD count, const HANDLE* objects, DWORD milliseconds) {
    return WaitForMultipleObjects(count, objects, FALSE,
                                  milliseconds == INFINITE ? INFINITE : ClockRealMilliseconds(milliseconds));
}

// Unsigned arithmetic keeps differences of two readings right across the wrap.
DWORD ClockTickCount() {
    return GetTickCount() * SUITE_CLOCK_FACTOR;
}
