#pragma once

#include <cstdint>

// Decides, once per loop pass, whether a frame runs: only when the
// millisecond clock has advanced since the last frame that ran. The first
// reading only starts the clock.
class FrameClock {
public:
  // True when a frame should run for this reading of the clock.
  bool Tick(uint32_t now);

private:
  bool started = false;
  uint32_t last = 0;
};
