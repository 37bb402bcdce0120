#pragma once

#include "platform/Key.h"

// Where the frame's input comes from: the pointer in logical 640 by 480 screen
// coordinates (it may lie outside the screen over the black bars) and latched
// key states. Tests provide their own.
class InputSource {
public:
  virtual ~InputSource() = default;

  virtual void MousePosition(int &x, int &y) const = 0;
  // Non-zero when the key is down now or was pressed since the previous query
  // of that key, so that a press and release between two frames is seen once.
  virtual int KeyState(Key key) = 0;
};
