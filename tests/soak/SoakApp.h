#pragma once

#include "app/PaintApp.h"

// The toy as the program starts it, whose frames the soak runs one at a time
// through the same path as the window's loop (the pacer, the screen, the
// autosave), on a clock the soak sets.
class SoakApp : public PaintApp {
public:
  // Advances the clock by one frame period and runs the frame.
  void Step()
  {
    now += FrameMilliseconds;
    Frame();
  }
  uint32_t Now() const { return now; }
  // Starts the clock where an earlier run of the toy left it.
  void SetNow(uint32_t time) { now = time; }

  SoakApp()
  {
    SetClock([this] { return now; });
  }

private:
  // A little more than one period at 60 Hz, so that every step runs a frame.
  static constexpr uint32_t FrameMilliseconds = 17;
  uint32_t now = 0;
};
