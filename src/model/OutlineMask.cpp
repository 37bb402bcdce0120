#include "model/OutlineMask.h"

#include "model/PickBuffer.h"

#include <algorithm>
#include <new>
#include <utility>

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
  try
  {
    rowFaces.assign(static_cast<size_t>(std::max(activeArea.right - activeArea.left, 0)), nullptr);
    upperRowFaces.assign(rowFaces.size(), nullptr);
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
  // Only the rectangle is ever marked; everything else stays 0. Each row's
  // face references are gathered once into a compact row, compared with
  // their left neighbours and with the row above gathered before.
  const int areaWidth = area.right - area.left;
  const CubeFace **faces = rowFaces.data();
  const CubeFace **upperFaces = upperRowFaces.data();
  uint8_t differences = 0;
  for(int y = area.top; y < area.bottom; ++y)
  {
    pickBuffer.RowFaces(y, area.left, areaWidth, faces);
    uint8_t *marks = mask.data() + static_cast<size_t>(y) * width + area.left;
    const bool hasUpper = y > area.top;
    for(int i = 0; i < areaWidth; ++i)
    {
      const CubeFace *face = faces[i];
      const bool leftDiffers = i > 0 && faces[i - 1] != face;
      const bool upperDiffers = hasUpper && upperFaces[i] != face;
      const uint8_t mark = static_cast<uint8_t>(leftDiffers | upperDiffers);
      differences |= static_cast<uint8_t>(marks[i] ^ mark);
      marks[i] = mark;
    }
    std::swap(faces, upperFaces);
  }
  return differences != 0;
}

void OutlineMask::WriteOverlay(uint32_t *texels, int pitch) const
{
  constexpr uint32_t Black = 0xFF000000u;
  constexpr uint32_t Clear = 0x00000000u;
  const int areaWidth = area.right - area.left;
  for(int y = area.top; y < area.bottom; ++y)
  {
    const uint8_t *marks = mask.data() + static_cast<size_t>(y) * width + area.left;
    uint32_t *out = texels + static_cast<size_t>(y - area.top) * pitch;
    // Overlay column c shows pixel area.left - 1 + c, black when it or the
    // pixel on its right is marked (marks are 0 or 1): the first column only
    // the area's first pixel, the last only the area's last.
    if(areaWidth <= 0)
    {
      out[0] = Clear;
      continue;
    }
    out[0] = marks[0] ? Black : Clear;
    for(int i = 0; i + 1 < areaWidth; ++i)
      out[i + 1] = (marks[i] | marks[i + 1]) ? Black : Clear;
    out[areaWidth] = marks[areaWidth - 1] ? Black : Clear;
  }
}
