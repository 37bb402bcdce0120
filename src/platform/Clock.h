#pragma once

#include <cstdint>

// The millisecond clock and a sleep, as the frame loop and the pauses use them.
namespace Clock {
  // Milliseconds since the program started.
  uint32_t Milliseconds();
  void Sleep(uint32_t milliseconds);
}
