#pragma once

#include <cstdint>

// Decides, once per loop pass, whether a frame runs: one frame period of the
// display after the last frame that ran. Everything on screen moves a fixed
// amount per frame, so frames keep the display's rate on average even though
// the clock counts whole milliseconds (at 60 Hz they come 16 or 17 ms apart).
// A frame that runs late is not made up for: when the next one would already
// be due, it is put one whole period after the late one instead of following
// it at once. The first reading runs a frame.
class FramePacer {
public:
  // The rate used when the display's is unknown.
  static constexpr int DefaultRefreshRate = 60;

  // Frames per second from the display's refresh rate in hertz; 0 or less
  // (unknown) means DefaultRefreshRate. The next frame stays where it was.
  void SetRefreshRate(int hertz);
  int RefreshRate() const { return rate; }

  // True when a frame runs for this reading of the millisecond clock (which
  // may wrap around).
  bool Tick(uint32_t now);
  // Whole milliseconds from `now` until the next frame is due, rounded up:
  // 0 when it is due already (or no frame has run yet).
  int MillisecondsToNextFrame(uint32_t now) const;

private:
  // Time since the last frame ran, in 1/rate milliseconds.
  int64_t Elapsed(uint32_t now) const;

private:
  // One frame period in 1/rate milliseconds, whatever the rate.
  static constexpr int64_t Period = 1000;

  int rate = DefaultRefreshRate;
  bool started = false;
  // When the last frame ran, and when the next is due, counted from then in
  // 1/rate milliseconds (so that the period is exact).
  uint32_t last = 0;
  int64_t due = 0;
};
