#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, SleepLetsTheMillisecondClockAdvanceByAtLeastTheSleep)
{
  const uint32_t before = Clock::Milliseconds();
  Clock::Sleep(30);
  const uint32_t after = Clock::Milliseconds();
  // The tick counter and the sleep need not run on the same system clock
  // (one may be slewed to keep time), so a sleep counted in whole ticks may
  // come out one tick short; a clean-clone run once saw 29. Never more.
  EXPECT_GE(after - before, 29u);
  EXPECT_LT(after - before, 1000u);
}
