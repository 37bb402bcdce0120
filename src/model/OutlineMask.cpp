#include "model/OutlineMask.h"

#include "model/PickBuffer.h"

#include <algorithm>
#include <new>

bool OutlineMask::Init(int maskWidth, int maskHeight, const PixelRect &activeArea)
{
  if(maskWidth <= 0 || maskHeight <= 0)
    return false;
  try
  {
    mask.assign(static_cast<size_t>(maskWidth) * maskHeight, 0);
  }
  catch(const std::bad_alloc &)
  {
    return false;
  }
  width = maskWidth;
  height = maskHeight;
  area = activeArea;
  return true;
}

bool OutlineMask::Compute(const PickBuffer &pickBuffer)
{
  bool changed = false;
  if(pickBuffer.Width() != width || pickBuffer.Height() != height)
  {
    changed = std::find(mask.begin(), mask.end(), 1) != mask.end();
    std::fill(mask.begin(), mask.end(), 0);
    return changed;
  }
  // Only the rectangle is ever marked; everything else stays 0.
  const PickRecord *records = pickBuffer.Data();
  for(int y = area.top; y < area.bottom; ++y)
  {
    const size_t rowStart = static_cast<size_t>(y) * width;
    for(int x = area.left; x < area.right; ++x)
    {
      const CubeFace *face = records[rowStart + x].face;
      const bool leftDiffers = x - 1 >= area.left && records[rowStart + x - 1].face != face;
      const bool upperDiffers = y - 1 >= area.top && records[rowStart - width + x].face != face;
      const uint8_t mark = leftDiffers || upperDiffers ? 1 : 0;
      changed = changed || mask[rowStart + x] != mark;
      mask[rowStart + x] = mark;
    }
  }
  return changed;
}

void OutlineMask::WriteOverlay(uint32_t *texels, int pitch) const
{
  constexpr uint32_t Black = 0xFF000000u;
  constexpr uint32_t Clear = 0x00000000u;
  const int overlayWidth = OverlayWidth();
  for(int y = area.top; y < area.bottom; ++y)
  {
    const uint8_t *marks = mask.data() + static_cast<size_t>(y) * width;
    uint32_t *out = texels + static_cast<size_t>(y - area.top) * pitch;
    // Overlay column c shows pixel area.left - 1 + c, black when it or the
    // pixel on its right is marked.
    for(int c = 0; c < overlayWidth; ++c)
    {
      const int x = area.left - 1 + c;
      const bool marked = (x >= area.left && marks[x]) || (x + 1 < area.right && marks[x + 1]);
      out[c] = marked ? Black : Clear;
    }
  }
}
