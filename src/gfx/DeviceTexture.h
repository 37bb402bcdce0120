#pragma once

#include <cstdint>

// A texture as the rendering back end holds it: width by height texels of
// 0xAARRGGBB, addressed with row 0 at the top.
class DeviceTexture {
public:
  DeviceTexture(int width, int height) : width(width), height(height) {}
  DeviceTexture(const DeviceTexture &) = delete;
  DeviceTexture &operator=(const DeviceTexture &) = delete;
  virtual ~DeviceTexture() = default;

  int Width() const { return width; }
  int Height() const { return height; }

  // Replaces the texels of the rectangle (x, y, w, h), which must lie inside
  // the texture, from rows of `pitch` texels starting at `argb`. The change is
  // visible in the next frame. False when the texture cannot take it now.
  virtual bool Write(int x, int y, int w, int h, const uint32_t *argb, int pitch) = 0;
  // Copies all texels, row 0 first, into `argb` (width * height words).
  virtual bool Read(uint32_t *argb) const = 0;

private:
  int width = 0;
  int height = 0;
};
