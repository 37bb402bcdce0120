#include "platform/Letterbox.h"

#include <algorithm>
#include <cmath>

Letterbox Letterbox::Fit(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight)
{
  Letterbox box;
  box.logicalWidth = logicalWidth;
  box.logicalHeight = logicalHeight;
  if(windowWidth <= 0 || windowHeight <= 0 || logicalWidth <= 0 || logicalHeight <= 0)
    return box;

  // Integer comparison of the two aspects avoids rounding a 4:3 window to a
  // picture one pixel short of it.
  if(static_cast<long long>(windowWidth) * logicalHeight <= static_cast<long long>(windowHeight) * logicalWidth)
  {
    box.width = windowWidth;
    box.height = static_cast<int>(
      std::lround(static_cast<double>(windowWidth) * logicalHeight / logicalWidth));
  }
  else
  {
    box.height = windowHeight;
    box.width = static_cast<int>(
      std::lround(static_cast<double>(windowHeight) * logicalWidth / logicalHeight));
  }
  box.width = std::clamp(box.width, 1, windowWidth);
  box.height = std::clamp(box.height, 1, windowHeight);
  box.x = (windowWidth - box.width) / 2;
  box.y = (windowHeight - box.height) / 2;
  return box;
}

void Letterbox::WindowToLogical(int windowX, int windowY, int &logicalX, int &logicalY) const
{
  if(width <= 0 || height <= 0)
  {
    logicalX = windowX;
    logicalY = windowY;
    return;
  }
  logicalX = static_cast<int>(std::floor((windowX - x + 0.5) * logicalWidth / width));
  // The picture is scaled in GL, whose rows count up from the bottom: a pixel
  // centre that falls exactly on the line between two rows belongs to the row
  // above it on the screen, so rows are measured from the bottom here too.
  const double fromBottom = (y + height) - (windowY + 0.5);
  logicalY = logicalHeight - 1 - static_cast<int>(std::floor(fromBottom * logicalHeight / height));
}
