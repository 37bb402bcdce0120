#pragma once

// How the toy's window is opened: the full screen (the default), or a normal
// desktop window of the given size in pixels (0 by 0: chosen from the desktop).
struct WindowSettings {
  bool fullscreen = true;
  int width = 0;
  int height = 0;
};
