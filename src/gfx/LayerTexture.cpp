#include "gfx/LayerTexture.h"

#include "gfx/LayerPool.h"

#include <algorithm>

LayerTexture::LayerTexture(std::shared_ptr<LayerPool> layerPool)
  : DeviceTexture(layerPool->LogicalSize(), layerPool->LogicalSize()), pool(std::move(layerPool)),
    layer(pool->Allocate())
{
}

LayerTexture::~LayerTexture()
{
  pool->Release(layer);
}

bool LayerTexture::Store(int x, int y, int w, int h, const uint32_t *argb, int pitch)
{
  if(layer < 0)
    return false;
  uint32_t *texels = pool->Texels(layer);
  for(int r = 0; r < h; ++r)
  {
    const int row = pool->LayerIndexOf(y + r);
    if(row < 0)
      continue;
    for(int c = 0; c < w; ++c)
    {
      const int column = pool->LayerIndexOf(x + c);
      if(column >= 0)
        texels[static_cast<size_t>(row) * pool->Pitch() + column] = argb[static_cast<size_t>(r) * pitch + c];
    }
  }
  pool->MarkChanged(layer);
  return true;
}

bool LayerTexture::StoreRgb(int x, int y, int w, int h, const uint8_t *rgb, size_t stride)
{
  // Only the kept texels are converted: loading a room face converts 103 by
  // 103 of its 1024 by 1024 texels.
  if(layer < 0)
    return false;
  uint32_t *texels = pool->Texels(layer);
  const int size = pool->LayerSize();
  for(int r = 0; r < h; ++r)
  {
    const int row = pool->LayerIndexOf(y + r);
    if(row < 0)
      continue;
    const uint8_t *line = rgb + static_cast<size_t>(r) * stride;
    uint32_t *out = texels + static_cast<size_t>(row) * pool->Pitch();
    // The kept run at the start of the row, then the last column.
    const int runEnd = std::min(x + w, std::min(pool->Kept(), size - 1));
    auto convert = [&](int c) {
      const uint8_t *p = line + static_cast<size_t>(c - x) * 3;
      return 0xFF000000u | static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    };
    for(int c = x; c < runEnd; ++c)
      out[c] = convert(c);
    if(size == pool->LogicalSize())
    {
      for(int c = std::max(x, runEnd); c < x + w; ++c)
        out[c] = convert(c);
    }
    else if(const int last = pool->LogicalSize() - 1; last >= x && last < x + w)
      out[size - 1] = convert(last);
  }
  pool->MarkChanged(layer);
  return true;
}

bool LayerTexture::Read(uint32_t *argb) const
{
  if(!argb)
    return false;
  const int size = Width();
  std::fill(argb, argb + static_cast<size_t>(size) * size, 0u);
  if(layer < 0)
    return true;
  const uint32_t *texels = pool->Texels(layer);
  for(int y = 0; y < size; ++y)
  {
    const int row = pool->LayerIndexOf(y);
    if(row < 0)
      continue;
    for(int x = 0; x < size; ++x)
    {
      const int column = pool->LayerIndexOf(x);
      if(column >= 0)
        argb[static_cast<size_t>(y) * size + x] = texels[static_cast<size_t>(row) * pool->Pitch() + column];
    }
  }
  return true;
}
