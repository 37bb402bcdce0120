#pragma once

#include "platform/Key.h"

#include <array>

// Key states with a press latch: a key reads as down while it is held, and
// also once after a press that was released before anyone asked.
class InputLatch {
public:
  void Press(Key key);
  void Release(Key key);
  // Non-zero when down now or pressed since the previous query of this key.
  int Query(Key key);

private:
  std::array<bool, static_cast<int>(Key::Count)> down{};
  std::array<bool, static_cast<int>(Key::Count)> pressedSinceQuery{};
};
