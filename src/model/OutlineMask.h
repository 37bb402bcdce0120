#pragma once

#include "gfx/PixelRect.h"

#include <cstdint>
#include <cstddef>
#include <vector>

class DrawingContext;
class PickBuffer;

// One byte per screen pixel, 1 where a black outline is drawn: inside the
// active rectangle, wherever the visible face differs from the one on the
// pixel's left or above it (when that neighbour is inside the rectangle too).
class OutlineMask {
public:
  // Allocates a zeroed width by height mask for the active rectangle `area`
  // (which must lie inside it). False when memory runs out.
  bool Init(int width, int height, const PixelRect &area);

  // Recomputes every byte from the pick buffer's face references.
  void Compute(const PickBuffer &pickBuffer);
  // Blackens, for each marked pixel (x, y) in row order, the pixels (x - 1, y)
  // and (x, y): outlines two pixels wide and one tall.
  void Draw(DrawingContext &context) const;

  bool IsMarked(int x, int y) const { return mask[static_cast<size_t>(y) * width + x] != 0; }

private:
  std::vector<uint8_t> mask;
  int width = 0;
  int height = 0;
  PixelRect area;
};
