#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fields of a BMP file's two headers that the readers use.
struct BmpHeader {
  // bfOffBits: where the pixel rows start.
  uint32_t pixelOffset = 0;
  // biSize: length of the information header that starts at byte 14.
  uint32_t infoSize = 0;
  int32_t width = 0;
  // Positive: bottom row first; negative: top row first.
  int32_t height = 0;
  uint16_t bitCount = 0;

  int Rows() const { return height < 0 ? -height : height; }
};

// Reading and writing the headers of BMP files, little-endian.
namespace BmpFormat {
  // Bytes of the file header (14) and the information header (40) together.
  constexpr size_t HeaderBytes = 54;
  // Widths and heights above this are refused as damaged.
  constexpr int MaxDimension = 1 << 16;

  // Checks the headers of a BMP file held in memory. Only the first magic byte
  // is compared (the second is not); the bit count must be 16 to 32. Refuses,
  // with a one-line reason, a file too short for its headers, a zero, negative
  // or oversized width, a zero or oversized height, and a pixel offset that
  // points into the headers or past the end. Does not check that the pixel
  // rows fit: how much they take depends on the reader.
  bool ReadHeader(const uint8_t *file, size_t size, BmpHeader &header, std::string &reason);
  // Bytes of one pixel row padded to a multiple of four.
  uint64_t PaddedRowBytes(int width, int bitCount);
  // True when `bytes` bytes from the pixel offset lie inside a file of `size`.
  bool PixelsFit(const BmpHeader &header, uint64_t bytes, size_t size);
  // Writes the 54 header bytes of a bottom-up 24-bit file with `imageBytes`
  // bytes of pixel rows: bfSize 54 + imageBytes, bfOffBits 54, biSize 40,
  // biPlanes 1, biBitCount 24, every other field 0.
  void WriteHeader24(uint8_t *out, int width, int height, uint32_t imageBytes);

  uint16_t Read16(const uint8_t *p);
  uint32_t Read32(const uint8_t *p);
}
