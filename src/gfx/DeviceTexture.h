#pragma once

#include <cstddef>
#include <cstdint>

class LayerPool;

// A texture as the rendering back end holds it: width by height texels of
// 0xAARRGGBB, addressed with row 0 at the top.
//
// Every texture carries an identity (given by the device that made it) and a
// revision that counts its changes, so that the device can tell whether a
// frame would draw exactly what the last one drew.
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
  bool Write(int x, int y, int w, int h, const uint32_t *argb, int pitch);
  // The same from rows of 3-byte red, green, blue pixels `stride` bytes
  // apart, stored as opaque texels.
  bool WriteRgb(int x, int y, int w, int h, const uint8_t *rgb, size_t stride);
  // Copies all texels, row 0 first, into `argb` (width * height words).
  virtual bool Read(uint32_t *argb) const = 0;

  // The layer pool the texels live in, for a face texture (null otherwise),
  // and its layer there.
  virtual LayerPool *Pool() const { return nullptr; }
  virtual int Layer() const { return 0; }

  uint64_t Identity() const { return identity; }
  void SetIdentity(uint64_t value) { identity = value; }
  uint64_t Revision() const { return revision; }

protected:
  // Stores the rectangle; the arguments have been checked.
  virtual bool Store(int x, int y, int w, int h, const uint32_t *argb, int pitch) = 0;
  // Stores the rectangle from red-green-blue bytes; the arguments have been
  // checked. By default each row is converted and stored.
  virtual bool StoreRgb(int x, int y, int w, int h, const uint8_t *rgb, size_t stride);

private:
  bool Fits(int x, int y, int w, int h) const;

private:
  int width = 0;
  int height = 0;
  uint64_t identity = 0;
  uint64_t revision = 0;
};
