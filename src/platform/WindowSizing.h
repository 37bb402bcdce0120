#pragma once

#include "platform/WindowSettings.h"

// How big the toy's desktop window opens: the size asked for, or one chosen
// from the desktop so that the logical screen is shown at a whole multiple.
class WindowSizing {
public:
  // The share of the desktop, in percent, that a chosen size stays within.
  static constexpr int DesktopPercent = 85;

  struct Size {
    int width = 0;
    int height = 0;
  };

  // The window's size for `settings` on a desktop of desktopWidth by
  // desktopHeight: the width and height asked for, or when either is not
  // positive the largest whole multiple of the logical screen that fits
  // within DesktopPercent of the desktop, at least one.
  static Size For(const WindowSettings &settings, int desktopWidth, int desktopHeight, int logicalWidth,
                  int logicalHeight);
};
