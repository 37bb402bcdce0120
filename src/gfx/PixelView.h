#pragma once

#include <cstddef>
#include <cstdint>

// How the bytes of one pixel are laid out.
enum class PixelFormat {
  // 32-bit words 0xXXRRGGBB (little-endian bytes blue, green, red, unused).
  Xrgb32,
  // Three bytes blue, green, red, as in 24-bit BMP files and DIB sections.
  Bgr24,
  // 16-bit words 0RRRRRGGGGGBBBBB, as in 16-bit BMP files and DIB sections.
  Rgb555,
};

// A writable window onto pixels in memory. `bits` addresses the top row;
// `pitch` is the byte distance from one row to the row below it, negative for
// images stored bottom row first.
struct PixelView {
  uint8_t *bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t pitch = 0;
  PixelFormat format = PixelFormat::Xrgb32;

  uint8_t *Row(int y) const { return bits + y * pitch; }
};
