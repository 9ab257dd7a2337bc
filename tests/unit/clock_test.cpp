#include "common/clock.h"

#include <gtest/gtest.h>

// The shipped programs' clock is the real one.
TEST(Clock, ShippedClockRunsAtRealSpeed) {
    EXPECT_EQ(1u, ClockFactor());
    DWORD realStart = GetTickCount();
    DWORD clockStart = ClockTickCount();
    ClockSleep(300);
    DWORD real = GetTickCount() - realStart;
    DWORD clock = ClockTickCount() - clockStart;
    EXPECT_GE(real, 280u); // the tick count moves in steps of up to 16 ms
    EXPECT_LE(clock, real + 16);
    EXPECT_GE(clock + 16, real);
}
