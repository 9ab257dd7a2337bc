#include "common/clock.h"

#include <gtest/gtest.h>

// The shipped programs' clock is the real one: each reading is the tick count of its moment.
TEST(Clock, ShippedClockRunsAtRealSpeed) {
    EXPECT_EQ(1u, ClockFactor());
    DWORD before0 = GetTickCount(), clock0 = ClockTickCount(), after0 = GetTickCount();
    DWORD start = GetTickCount();
    ClockSleep(300);
    DWORD slept = GetTickCount() - start;
    DWORD before1 = GetTickCount(), clock1 = ClockTickCount(), after1 = GetTickCount();
    // Not shortened (the fast clock would make it 15 ms); the tick count may lag a little under load.
    EXPECT_GE(slept, 250u);
    EXPECT_GE(clock1 - clock0, before1 - after0);
    EXPECT_LE(clock1 - clock0, after1 - before0);
}

TEST(Clock, ShippedWaitRunsAtRealSpeed) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, event);
    DWORD start = GetTickCount();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ClockWait(event, 300));
    EXPECT_GE(GetTickCount() - start, 250u);
    CloseHandle(event);
}
