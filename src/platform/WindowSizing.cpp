#include "platform/WindowSizing.h"

#include <algorithm>

WindowSizing::Size WindowSizing::For(const WindowSettings &settings, int desktopWidth, int desktopHeight,
                                     int logicalWidth, int logicalHeight)
{
  if(settings.width > 0 && settings.height > 0)
    return Size{settings.width, settings.height};
  if(logicalWidth <= 0 || logicalHeight <= 0)
    return Size{};
  // Whole pixels of the desktop's share: a multiple that fits them fits the share.
  const long long roomX = static_cast<long long>(std::max(desktopWidth, 0)) * DesktopPercent / 100;
  const long long roomY = static_cast<long long>(std::max(desktopHeight, 0)) * DesktopPercent / 100;
  const int factor = static_cast<int>(std::max(1LL, std::min(roomX / logicalWidth, roomY / logicalHeight)));
  return Size{logicalWidth * factor, logicalHeight * factor};
}
