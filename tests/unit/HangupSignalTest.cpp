// SIGHUP only raises a flag for the loop to read; the process goes on.
#include "app/HangupSignal.h"

#include <gtest/gtest.h>

#include <csignal>

TEST(HangupSignal, AHangUpRaisesTheFlagInsteadOfEndingTheProcess)
{
  ASSERT_TRUE(HangupSignal::Install());
  HangupSignal::Clear();
  EXPECT_FALSE(HangupSignal::Raised());
  ASSERT_EQ(std::raise(SIGHUP), 0);
  EXPECT_TRUE(HangupSignal::Raised());
  HangupSignal::Clear();
  EXPECT_FALSE(HangupSignal::Raised());
}
