#include "model/OutlineMask.h"

#include "gfx/DrawingContext.h"
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

void OutlineMask::Compute(const PickBuffer &pickBuffer)
{
  std::fill(mask.begin(), mask.end(), 0);
  if(pickBuffer.Width() != width || pickBuffer.Height() != height)
    return;
  const PickRecord *records = pickBuffer.Data();
  for(int y = area.top; y < area.bottom; ++y)
  {
    const size_t rowStart = static_cast<size_t>(y) * width;
    for(int x = area.left; x < area.right; ++x)
    {
      const CubeFace *face = records[rowStart + x].face;
      const bool leftDiffers = x - 1 >= area.left && records[rowStart + x - 1].face != face;
      const bool upperDiffers = y - 1 >= area.top && records[rowStart - width + x].face != face;
      if(leftDiffers || upperDiffers)
        mask[rowStart + x] = 1;
    }
  }
}

void OutlineMask::Draw(DrawingContext &context) const
{
  context.SetPen(0);
  context.SetBrush(0);
  for(int y = area.top; y < area.bottom; ++y)
  {
    const size_t rowStart = static_cast<size_t>(y) * width;
    for(int x = area.left; x < area.right; ++x)
      if(mask[rowStart + x])
        context.Rectangle(x - 1, y, x + 1, y + 1);
  }
}
