#include "gfx/DeviceTexture.h"

#include <array>
#include <vector>

bool DeviceTexture::Fits(int x, int y, int w, int h) const
{
  return x >= 0 && y >= 0 && w >= 0 && h >= 0 && x <= width - w && y <= height - h;
}

bool DeviceTexture::Write(int x, int y, int w, int h, const uint32_t *argb, int pitch)
{
  if(!argb || !Fits(x, y, w, h) || pitch < w)
    return false;
  if(w == 0 || h == 0)
    return true;
  ++revision;
  return Store(x, y, w, h, argb, pitch);
}

bool DeviceTexture::WriteRgb(int x, int y, int w, int h, const uint8_t *rgb, size_t stride)
{
  if(!rgb || !Fits(x, y, w, h) || stride < static_cast<size_t>(w) * 3)
    return false;
  if(w == 0 || h == 0)
    return true;
  ++revision;
  return StoreRgb(x, y, w, h, rgb, stride);
}

bool DeviceTexture::StoreRgb(int x, int y, int w, int h, const uint8_t *rgb, size_t stride)
{
  // A painted texel or a short stroke converts on the stack.
  std::array<uint32_t, 256> small;
  std::vector<uint32_t> large;
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  uint32_t *texels = small.data();
  if(count > small.size())
  {
    large.resize(count);
    texels = large.data();
  }
  uint32_t *out = texels;
  for(int r = 0; r < h; ++r)
  {
    const uint8_t *p = rgb + static_cast<size_t>(r) * stride;
    for(int c = 0; c < w; ++c, p += 3)
      *out++ = 0xFF000000u | static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
  }
  return Store(x, y, w, h, texels, w);
}
