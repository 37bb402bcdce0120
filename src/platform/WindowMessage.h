#pragma once

#include "platform/Key.h"

// A message for the application window, handled one per loop pass.
struct WindowMessage {
  enum class Kind {
    // The window became active (value 1) or inactive (value 0).
    Activate,
    // Something asks the window to close (the system, Escape, an event).
    Close,
    // The window is being destroyed.
    Destroy,
    // A key went down; value is the Key.
    KeyDown,
    // The window's picture must be shown again though nothing in it changed:
    // it was exposed, shown, restored or resized.
    Expose,
    // Ends the loop; value is the exit code.
    Quit,
  };

  Kind kind = Kind::Quit;
  int value = 0;
};
