// The fast-clock variant: pauses shrink and tick counts grow by the build's factor.
#include "common/clock.h"

#include <gtest/gtest.h>

static_assert(EXPECTED_FACTOR > 1, "the fast clock must be faster than the real one");

TEST(FastClock, PausesShrinkByTheFactor) {
    EXPECT_EQ(static_cast<DWORD>(EXPECTED_FACTOR), ClockFactor());
    const DWORD asked = 300 * EXPECTED_FACTOR; // 6 s of program time at the factor 20
    DWORD start = GetTickCount();
    ClockSleep(asked);
    DWORD real = GetTickCount() - start;
    EXPECT_GE(real, 250u); // the tick count may lag a little under load
    EXPECT_LT(real, asked / 2) << "the pause was not shortened";
}

TEST(FastClock, TickCountsGrowByTheFactor) {
    // Each clock reading is the factor times the tick count of its moment, which lies between the real
    // readings taken around it.
    DWORD before0 = GetTickCount(), clock0 = ClockTickCount(), after0 = GetTickCount();
    Sleep(300);
    DWORD before1 = GetTickCount(), clock1 = ClockTickCount(), after1 = GetTickCount();
    EXPECT_GE(clock1 - clock0, (before1 - after0) * EXPECTED_FACTOR);
    EXPECT_LE(clock1 - clock0, (after1 - before0) * EXPECTED_FACTOR);
    EXPECT_GE(clock1 - clock0, 250u * EXPECTED_FACTOR);
}

TEST(FastClock, LimitsThatWindowsWaitsOutShrinkByTheFactor) {
    EXPECT_EQ(30000u, ClockRealMilliseconds(30000 * EXPECTED_FACTOR));
    EXPECT_EQ(1u, ClockRealMilliseconds(1)); // no limit turns into "do not wait"
    EXPECT_EQ(0u, ClockRealMilliseconds(0));
}

TEST(FastClock, ShortPausesStayPauses) {
    DWORD start = GetTickCount();
    for (int i = 0; i < 20; ++i)
        ClockSleep(1); // 1 / factor rounds to nothing, but a polling loop must still yield
    EXPECT_GE(GetTickCount() - start, 10u);
}

TEST(FastClock, WaitsShrinkByTheFactorAndEndWhenTheObjectIsSignalled) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, event);
    const DWORD asked = 300 * EXPECTED_FACTOR;
    DWORD start = GetTickCount();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ClockWait(event, asked));
    DWORD real = GetTickCount() - start;
    EXPECT_GE(real, 250u);
    EXPECT_LT(real, asked / 2) << "the wait was not shortened";

    SetEvent(event);
    start = GetTickCount();
    EXPECT_EQ(WAIT_OBJECT_0, ClockWait(event, asked));
    EXPECT_LT(GetTickCount() - start, 200u);
    CloseHandle(event);
}
