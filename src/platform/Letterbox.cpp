#include "platform/Letterbox.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
  // Division rounding towards minus infinity (the pointer may lie left of or
  // above the picture); `denominator` is positive.
  int64_t FloorDivide(int64_t numerator, int64_t denominator)
  {
    const int64_t quotient = numerator / denominator;
    return (numerator % denominator != 0 && numerator < 0) ? quotient - 1 : quotient;
  }

  int64_t CeilDivide(int64_t numerator, int64_t denominator)
  {
    return -FloorDivide(-numerator, denominator);
  }
}

Letterbox Letterbox::Fit(int drawableWidth, int drawableHeight, int logicalWidth, int logicalHeight)
{
  Letterbox box;
  box.logicalWidth = logicalWidth;
  box.logicalHeight = logicalHeight;
  box.drawableWidth = drawableWidth;
  box.drawableHeight = drawableHeight;
  if(drawableWidth <= 0 || drawableHeight <= 0 || logicalWidth <= 0 || logicalHeight <= 0)
    return box;

  box.factor = std::max(1, std::min(drawableWidth / logicalWidth, drawableHeight / logicalHeight));
  // Integer comparison of the two aspects avoids rounding a 4:3 drawable to a
  // picture one pixel short of it.
  if(static_cast<long long>(drawableWidth) * logicalHeight <= static_cast<long long>(drawableHeight) * logicalWidth)
  {
    box.width = drawableWidth;
    box.height = static_cast<int>(
      std::lround(static_cast<double>(drawableWidth) * logicalHeight / logicalWidth));
  }
  else
  {
    box.height = drawableHeight;
    box.width = static_cast<int>(
      std::lround(static_cast<double>(drawableHeight) * logicalWidth / logicalHeight));
  }
  box.width = std::clamp(box.width, 1, drawableWidth);
  box.height = std::clamp(box.height, 1, drawableHeight);
  box.x = (drawableWidth - box.width) / 2;
  box.y = (drawableHeight - box.height) / 2;
  return box;
}

void Letterbox::PixelToLogical(int pixelX, int pixelY, int &logicalX, int &logicalY) const
{
  PointToLogical(pixelX, pixelY, drawableWidth, drawableHeight, logicalX, logicalY);
}

void Letterbox::PointToLogical(int pointX, int pointY, int windowWidth, int windowHeight, int &logicalX,
                               int &logicalY) const
{
  if(width <= 0 || height <= 0 || windowWidth <= 0 || windowHeight <= 0)
  {
    logicalX = pointX;
    logicalY = pointY;
    return;
  }
  // The centre of the pointer's position in drawable pixels is
  // (2 * point + 1) * drawable / (2 * window); everything is kept in whole
  // numbers over that denominator, so that the result is exact at any size.
  const int64_t ww = windowWidth;
  const int64_t wh = windowHeight;
  const int64_t fromLeft = (2 * static_cast<int64_t>(pointX) + 1) * drawableWidth - 2 * static_cast<int64_t>(x) * ww;
  logicalX = static_cast<int>(FloorDivide(fromLeft * logicalWidth, 2 * ww * width));
  // The picture is scaled in GL, whose rows count up from the bottom: a
  // centre that falls exactly on the line between two rows belongs to the row
  // above it on the screen, so rows are measured from the bottom here too.
  const int64_t fromBottom =
    2 * static_cast<int64_t>(y + height) * wh - (2 * static_cast<int64_t>(pointY) + 1) * drawableHeight;
  logicalY = logicalHeight - 1 - static_cast<int>(FloorDivide(fromBottom * logicalHeight, 2 * wh * height));
}

PixelRect Letterbox::Covering(const PixelRect &logical) const
{
  if(logical.Empty() || width <= 0 || height <= 0 || logicalWidth <= 0 || logicalHeight <= 0)
    return {};
  const auto span = [](int low, int high, int logicalSize, int offset, int size, int &from, int &to) {
    const int64_t first = offset + FloorDivide(static_cast<int64_t>(low - 1) * size, logicalSize) - 1;
    const int64_t last = offset + CeilDivide(static_cast<int64_t>(high + 1) * size, logicalSize) + 1;
    from = static_cast<int>(std::clamp<int64_t>(first, offset, offset + size));
    to = static_cast<int>(std::clamp<int64_t>(last, offset, offset + size));
  };
  PixelRect rect;
  span(logical.left, logical.right, logicalWidth, x, width, rect.left, rect.right);
  span(logical.top, logical.bottom, logicalHeight, y, height, rect.top, rect.bottom);
  return rect.Empty() ? PixelRect{} : rect;
}
