#include "res/BmpFormat.h"

#include <cstring>

uint16_t BmpFormat::Read16(const uint8_t *p)
{
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t BmpFormat::Read32(const uint8_t *p)
{
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

namespace {
  void Write16(uint8_t *p, uint32_t value)
  {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
  }

  void Write32(uint8_t *p, uint32_t value)
  {
    Write16(p, value);
    Write16(p + 2, value >> 16);
  }
}

bool BmpFormat::ReadHeader(const uint8_t *file, size_t size, BmpHeader &header, std::string &reason)
{
  if(size < HeaderBytes)
  {
    reason = "too short for a BMP header (" + std::to_string(size) + " bytes)";
    return false;
  }
  if(file[0] != 'B')
  {
    reason = "not a BMP file";
    return false;
  }
  BmpHeader read;
  read.pixelOffset = Read32(file + 10);
  read.infoSize = Read32(file + 14);
  read.width = static_cast<int32_t>(Read32(file + 18));
  read.height = static_cast<int32_t>(Read32(file + 22));
  read.bitCount = Read16(file + 28);
  if(read.bitCount < 16)
  {
    reason = std::to_string(read.bitCount) + " bits per pixel is not supported (16 or more needed)";
    return false;
  }
  if(read.bitCount > 32)
  {
    reason = "damaged header (" + std::to_string(read.bitCount) + " bits per pixel)";
    return false;
  }
  if(read.infoSize < 40 || read.infoSize > size - 14)
  {
    reason = "damaged header (information header of " + std::to_string(read.infoSize) + " bytes)";
    return false;
  }
  if(read.width <= 0 || read.width > MaxDimension || read.height == 0 || read.height < -MaxDimension ||
     read.height > MaxDimension)
  {
    reason = "damaged header (size " + std::to_string(read.width) + " x " + std::to_string(read.height) + ")";
    return false;
  }
  if(read.pixelOffset < 14 + read.infoSize || read.pixelOffset > size)
  {
    reason = "damaged header (pixel offset " + std::to_string(read.pixelOffset) + " in a file of " +
             std::to_string(size) + " bytes)";
    return false;
  }
  header = read;
  return true;
}

uint64_t BmpFormat::PaddedRowBytes(int width, int bitCount)
{
  return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
}

bool BmpFormat::PixelsFit(const BmpHeader &header, uint64_t bytes, size_t size)
{
  return header.pixelOffset <= size && bytes <= size - header.pixelOffset;
}

void BmpFormat::WriteHeader24(uint8_t *out, int width, int height, uint32_t imageBytes)
{
  std::memset(out, 0, HeaderBytes);
  out[0] = 'B';
  out[1] = 'M';
  Write32(out + 2, static_cast<uint32_t>(HeaderBytes) + imageBytes);
  Write32(out + 10, static_cast<uint32_t>(HeaderBytes));
  Write32(out + 14, 40);
  Write32(out + 18, static_cast<uint32_t>(width));
  Write32(out + 22, static_cast<uint32_t>(height));
  Write16(out + 26, 1);
  Write16(out + 28, 24);
}
