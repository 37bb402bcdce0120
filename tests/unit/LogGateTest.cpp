// Diagnostic lines: one line whatever the message holds, and the gate that
// keeps repeated ones off standard error (what goes through, what is held
// back, and for how long).
#include "base/Log.h"
#include "base/LogGate.h"

#include <gtest/gtest.h>

#include <string>

namespace {
  using std::chrono::milliseconds;

  // Lines that reached standard error while `body` ran.
  template <typename Body>
  int LinesWritten(Body body)
  {
    testing::internal::CaptureStderr();
    body();
    const std::string out = testing::internal::GetCapturedStderr();
    int lines = 0;
    for(char c : out)
      lines += c == '\n';
    return lines;
  }
}

TEST(LogLine, ControlCharactersInTheMessageAreEscapedSoItStaysOneLine)
{
  testing::internal::CaptureStderr();
  LogLine(std::string("cannot open /tmp/a\nb\tc\r\x7f") + '\0' + "end");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "vextorn: cannot open /tmp/a\\nb\\tc\\r\\x7f\\x00end\n");
  EXPECT_EQ(OneLine("plain text, unchanged: \xc3\xa9"), "plain text, unchanged: \xc3\xa9");
}

TEST(LogGate, TheSameLineGoesThroughOncePerIntervalAndOthersAreNotHeldBackByIt)
{
  LogGate gate;
  const LogGate::Clock::time_point t0{};
  const int lines = LinesWritten([&] {
    EXPECT_TRUE(gate.Write("disk full", t0));
    // Every frame of a second at 60 Hz.
    for(int frame = 1; frame < 60; ++frame)
      EXPECT_FALSE(gate.Write("disk full", t0 + milliseconds(frame * 16)));
    EXPECT_TRUE(gate.Write("another failure", t0 + milliseconds(500)));
    EXPECT_TRUE(gate.Write("disk full", t0 + milliseconds(1000)));
    EXPECT_FALSE(gate.Write("disk full", t0 + milliseconds(1999)));
    EXPECT_TRUE(gate.Write("disk full", t0 + milliseconds(2000)));
  });
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(gate.HeldBack(), 60);
}

TEST(LogGate, LinesThatTakeTurnsAreEachHeldBackAndTheOldestOfTooManyIsForgotten)
{
  LogGate gate;
  const LogGate::Clock::time_point t0{};
  const int alternating = LinesWritten([&] {
    for(int frame = 0; frame < 30; ++frame)
      gate.Write(frame % 2 ? "cannot make the folder" : "cannot write the file", t0 + milliseconds(frame));
  });
  EXPECT_EQ(alternating, 2);

  // Nine more distinct lines push the first two out.
  LinesWritten([&] {
    for(int i = 0; i < 9; ++i)
      gate.Write("line " + std::to_string(i), t0 + milliseconds(40));
  });
  EXPECT_TRUE(gate.Write("cannot write the file", t0 + milliseconds(50)));
  EXPECT_FALSE(gate.Write("line 8", t0 + milliseconds(50)));
}

TEST(LogGate, AGateUntilRearmedHoldsALineForAnyTimeAndRearmLetsItThroughOnce)
{
  LogGate gate(LogGate::UntilRearmed);
  const LogGate::Clock::time_point t0 = LogGate::Clock::now();
  const int lines = LinesWritten([&] {
    // A key held for an hour.
    EXPECT_TRUE(gate.Write("no model file", t0));
    EXPECT_FALSE(gate.Write("no model file", t0 + std::chrono::hours(1)));
    gate.Rearm();
    EXPECT_TRUE(gate.Write("no model file", t0 + std::chrono::hours(1)));
    EXPECT_FALSE(gate.Write("no model file", t0 + std::chrono::hours(2)));
  });
  EXPECT_EQ(lines, 2);
}

TEST(LogGate, AClockThatGoesBackwardsHoldsNothingBack)
{
  LogGate gate;
  const LogGate::Clock::time_point t0 = LogGate::Clock::now();
  LinesWritten([&] {
    EXPECT_TRUE(gate.Write("x", t0));
    EXPECT_TRUE(gate.Write("x", t0 - milliseconds(10)));
    EXPECT_FALSE(gate.Write("x", t0));
  });
}
