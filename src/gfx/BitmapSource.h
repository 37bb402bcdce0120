#pragma once

#include <cstdint>

// Pixels as a BMP file stores them, to be drawn onto a DrawingContext: rows
// padded to four bytes, bottom row first when height is positive, top row
// first when it is negative; blue, green, red (and an unused byte at 32 bits).
struct BitmapSource {
  const uint8_t *bits = nullptr;
  int width = 0;
  int height = 0;
  int bitCount = 24;

  int RowBytes() const { return ((width * bitCount + 31) / 32) * 4; }
  int Rows() const { return height < 0 ? -height : height; }
};
