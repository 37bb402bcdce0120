#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, SleepLetsTheMillisecondClockAdvanceByAtLeastTheSleep)
{
  const uint32_t before = Clock::Milliseconds();
  Clock::Sleep(30);
  const uint32_t after = Clock::Milliseconds();
  EXPECT_GE(after - before, 30u);
  EXPECT_LT(after - before, 1000u);
}
