#pragma once

#include <algorithm>
#include <cstdlib>

// The points a pen stroke paints in one frame: from the previous mouse
// position towards the current one, one point per pixel of the longer axis,
// stopping one step short of the current position (which starts the next
// frame's segment). Each step's offset is truncated toward zero.
template <class Visit>
void ForEachStrokePoint(int fromX, int fromY, int toX, int toY, Visit visit)
{
  const int dx = toX - fromX;
  const int dy = toY - fromY;
  const int n = std::max(std::abs(dx), std::abs(dy));
  if(n == 0)
    return;
  const float stepX = static_cast<float>(dx) / static_cast<float>(n);
  const float stepY = static_cast<float>(dy) / static_cast<float>(n);
  for(int i = 0; i < n; ++i)
    visit(fromX + static_cast<int>(static_cast<float>(i) * stepX),
          fromY + static_cast<int>(static_cast<float>(i) * stepY));
}
