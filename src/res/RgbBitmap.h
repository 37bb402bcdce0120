#pragma once

#include "res/RgbColour.h"

#include <cstdint>
#include <memory>
#include <string>

// A width by height array of RgbColour pixels that can be filled from a BMP file.
class RgbBitmap {
public:
  RgbBitmap() = default;
  RgbBitmap(const RgbBitmap &) = delete;
  RgbBitmap &operator=(const RgbBitmap &) = delete;
  virtual ~RgbBitmap() = default;

  // Reads a BMP file of 16 to 32 bits per pixel: its width by |height|
  // three-byte pixels (blue, green, red) are taken as tightly packed rows in
  // file order, whatever the file's padding, row order and bit count; height
  // becomes |height|. False, with a log line and the array freed, for a
  // missing file, a damaged header or pixels that run past the file's end.
  virtual bool LoadRgbFile(const std::string &fileName);

  int Width() const { return width; }
  int Height() const { return height; }
  const RgbColour *Pixels() const { return pixels.get(); }

protected:
  int32_t width = 0;
  int32_t height = 0;
  std::unique_ptr<RgbColour[]> pixels;
};
