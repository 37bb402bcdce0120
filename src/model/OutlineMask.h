#pragma once

#include "gfx/PixelRect.h"

#include <cstdint>
#include <cstddef>
#include <vector>

class CubeFace;
class PickBuffer;

// One byte per screen pixel, 1 where a black outline is drawn: inside the
// active rectangle, wherever the visible face differs from the one on the
// pixel's left or above it (when that neighbour is inside the rectangle too).
class OutlineMask {
public:
  // Allocates a zeroed width by height mask for the active rectangle `area`
  // (which must lie inside it). False when memory runs out.
  bool Init(int width, int height, const PixelRect &area);

  // Recomputes every byte from the pick buffer's face references; true when
  // any byte changed.
  bool Compute(const PickBuffer &pickBuffer);
  // The outlines as an overlay picture: (area width + 1) by area height
  // texels (rows `pitch` texels apart) covering the area and the column left
  // of it. Each marked pixel (x, y) blackens (x - 1, y) and (x, y), so that
  // outlines are two pixels wide and one tall: those texels are opaque black
  // 0xFF000000 and the rest transparent 0x00000000.
  void WriteOverlay(uint32_t *texels, int pitch) const;
  int OverlayWidth() const { return area.right - area.left + 1; }
  int OverlayHeight() const { return area.bottom - area.top; }

  bool IsMarked(int x, int y) const { return mask[static_cast<size_t>(y) * width + x] != 0; }
  const PixelRect &Area() const { return area; }

private:
  std::vector<uint8_t> mask;
  // The face references of the row being marked and of the row above it,
  // one per column of the rectangle.
  std::vector<const CubeFace *> rowFaces;
  std::vector<const CubeFace *> upperRowFaces;
  int width = 0;
  int height = 0;
  PixelRect area;
};
