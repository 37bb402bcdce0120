#include "platform/InputLatch.h"

#include <gtest/gtest.h>

TEST(InputLatch, APressReleasedBeforeTheQueryIsSeenExactlyOnce)
{
  InputLatch latch;
  EXPECT_EQ(latch.Query(Key::LeftButton), 0);
  latch.Press(Key::LeftButton);
  latch.Release(Key::LeftButton);
  EXPECT_NE(latch.Query(Key::LeftButton), 0);
  EXPECT_EQ(latch.Query(Key::LeftButton), 0);
}

TEST(InputLatch, AHeldKeyReadsDownAtEveryQueryUntilReleased)
{
  InputLatch latch;
  latch.Press(Key::F7);
  EXPECT_NE(latch.Query(Key::F7), 0);
  EXPECT_NE(latch.Query(Key::F7), 0);
  EXPECT_NE(latch.Query(Key::F7), 0);
  latch.Release(Key::F7);
  EXPECT_EQ(latch.Query(Key::F7), 0);
}

TEST(InputLatch, ReleasingAfterTheQuerySawThePressLeavesNothingBehind)
{
  InputLatch latch;
  latch.Press(Key::Escape);
  EXPECT_NE(latch.Query(Key::Escape), 0);
  latch.Release(Key::Escape);
  EXPECT_EQ(latch.Query(Key::Escape), 0);
  // Two quick presses between queries still read as one.
  latch.Press(Key::Escape);
  latch.Release(Key::Escape);
  latch.Press(Key::Escape);
  latch.Release(Key::Escape);
  EXPECT_NE(latch.Query(Key::Escape), 0);
  EXPECT_EQ(latch.Query(Key::Escape), 0);
}

TEST(InputLatch, KeysAreIndependentAndQueryingOneDoesNotConsumeAnother)
{
  InputLatch latch;
  latch.Press(Key::F7);
  latch.Release(Key::F7);
  latch.Press(Key::F8);
  latch.Release(Key::F8);
  EXPECT_NE(latch.Query(Key::F8), 0);
  EXPECT_EQ(latch.Query(Key::LeftButton), 0);
  EXPECT_NE(latch.Query(Key::F7), 0);
  EXPECT_EQ(latch.Query(Key::F8), 0);
  // Keys outside the range read as up and cannot be pressed.
  latch.Press(Key::Count);
  EXPECT_EQ(latch.Query(Key::Count), 0);
}
