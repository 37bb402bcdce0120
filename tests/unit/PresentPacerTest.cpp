// The present pacer against a clock of the test's own: which pictures it
// holds back, for how long, and when it starts counting afresh.

#include "app/PresentPacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
  // A clock that moves only when told, or when the pacer waits.
  class PacedFrames {
  public:
    PacedFrames()
      : pacer([this] { return clock; }, [this](double ms) {
          waits.push_back(ms);
          clock += ms;
        })
    {
    }

    // One frame `ticks` ticks of 60 Hz after the last whose picture is ready
    // after `readyAfter` ms and takes `copyMs` to copy; the wait it got (0
    // for none).
    double Frame(double readyAfter, double ticks = 1.0)
    {
      tick += ticks * 1000.0 / 60.0;
      clock = tick;
      pacer.FrameStarted();
      clock = tick + readyAfter;
      const size_t before = waits.size();
      pacer.BeforeShow();
      clock += copyMs;
      pacer.AfterShow();
      return waits.size() > before ? waits.back() : 0.0;
    }

    PresentPacer pacer;
    double copyMs = 0.5;
    double clock = 1000.0;
    double tick = 1000.0;
    std::vector<double> waits;
  };
}

TEST(PresentPacer, HoldsEachPictureUntilNineteenInTwentyOfTheRecentOnesWereReady)
{
  PacedFrames frames;
  // Ready after 6 ms, every tenth after 11: too few to wait on at first.
  for(size_t i = 0; i < PresentPacer::NeededToWait; ++i)
    EXPECT_EQ(frames.Frame(i % 10 == 9 ? 11.0 : 6.0), 0.0) << i;
  // Nineteen in twenty of them were ready by 11 ms (one in ten is later
  // than 6): a picture ready after 6 ms waits 5, one ready after 11 none.
  EXPECT_DOUBLE_EQ(frames.Frame(6.0), 5.0);
  EXPECT_EQ(frames.Frame(11.0), 0.0);
  EXPECT_EQ(frames.Frame(12.5), 0.0);
  // Once only the last thirty count, the slow ones are forgotten.
  for(size_t i = 0; i < PresentPacer::Remembered; ++i)
    frames.Frame(3.0);
  EXPECT_EQ(frames.Frame(3.0), 0.0);
}

TEST(PresentPacer, NeverHoldsAPictureIntoTheCopyTimeBeforeTheNextFrame)
{
  PacedFrames frames;
  frames.pacer.SetRefreshRate(60);
  for(int i = 0; i < 20; ++i)
    frames.Frame(i % 2 ? 16.0 : 20.0);
  // Most of the recent pictures were ready after the period; one ready
  // early is held only until the copy (0.5 ms) and the slack before the
  // period ends.
  EXPECT_DOUBLE_EQ(frames.Frame(5.0), 1000.0 / 60.0 - 0.5 - PresentPacer::Slack - 5.0);
  // Copies that take longer leave less time to hold for: nineteen in twenty
  // of the recent ones count.
  frames.copyMs = 3.0;
  for(size_t i = 0; i < PresentPacer::Remembered; ++i)
    frames.Frame(20.0);
  EXPECT_DOUBLE_EQ(frames.Frame(5.0), 1000.0 / 60.0 - 3.0 - PresentPacer::Slack - 5.0);
  // At 120 Hz the period halves, and so does the latest time.
  frames.pacer.SetRefreshRate(120);
  EXPECT_DOUBLE_EQ(frames.Frame(1.0, 0.5), 1000.0 / 120.0 - 3.0 - PresentPacer::Slack - 1.0);
}

TEST(PresentPacer, AFrameAfterARestIsShownAtOnceAndTheCountStartsAfresh)
{
  PacedFrames frames;
  for(int i = 0; i < 20; ++i)
    frames.Frame(12.0);
  EXPECT_DOUBLE_EQ(frames.Frame(4.0), 8.0);
  // Two ticks without a picture (the toy rested): the next pictures are
  // shown the moment they are ready until enough follow one another again.
  EXPECT_EQ(frames.Frame(4.0, 3.0), 0.0);
  for(size_t i = 1; i < PresentPacer::NeededToWait; ++i)
    EXPECT_EQ(frames.Frame(4.0), 0.0) << i;
  EXPECT_EQ(frames.Frame(2.0), 2.0);
  // A frame one tick and a bit late still follows the one before.
  EXPECT_DOUBLE_EQ(frames.Frame(2.0, 1.4), 2.0);
}
