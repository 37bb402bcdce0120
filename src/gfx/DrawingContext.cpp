#include "gfx/DrawingContext.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
  // Byte size of one pixel of the format.
  int PixelBytes(PixelFormat format)
  {
    switch(format)
    {
    case PixelFormat::Xrgb32:
      return 4;
    case PixelFormat::Bgr24:
      return 3;
    case PixelFormat::Rgb555:
      return 2;
    }
    return 4;
  }

  // Widens a 5-bit channel to 8 bits so that 0 stays 0 and 31 becomes 255.
  uint32_t Widen5(uint32_t value)
  {
    return (value << 3) | (value >> 2);
  }

  uint32_t FromRgb555(const uint8_t *p)
  {
    const uint32_t word = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
    return Widen5((word >> 10) & 0x1F) << 16 | Widen5((word >> 5) & 0x1F) << 8 | Widen5(word & 0x1F);
  }

  void ToRgb555(uint8_t *p, uint32_t rgb)
  {
    const uint32_t word = ((rgb >> 19) & 0x1F) << 10 | ((rgb >> 11) & 0x1F) << 5 | ((rgb >> 3) & 0x1F);
    p[0] = static_cast<uint8_t>(word);
    p[1] = static_cast<uint8_t>(word >> 8);
  }

  // The colour (0x00RRGGBB) of the pixel at p. Xrgb32 and Bgr24 both start
  // with the bytes blue, green, red; the fourth byte of Xrgb32 is not colour.
  uint32_t ReadPixel(const uint8_t *p, PixelFormat format)
  {
    if(format == PixelFormat::Rgb555)
      return FromRgb555(p);
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
  }

  // Stores the colour at p, leaving the fourth byte of an Xrgb32 pixel alone.
  void WritePixel(uint8_t *p, PixelFormat format, uint32_t rgb)
  {
    if(format == PixelFormat::Rgb555)
    {
      ToRgb555(p, rgb);
      return;
    }
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
  }

  uint32_t Combine(uint32_t existing, uint32_t drawn, RasterOperation operation)
  {
    switch(operation)
    {
    case RasterOperation::Copy:
      return drawn;
    case RasterOperation::And:
      return existing & drawn;
    case RasterOperation::Or:
      return existing | drawn;
    }
    return drawn;
  }

  // The colour of source pixel x of a BMP pixel row of `bitCount` bits per
  // pixel; 16-bit pixels are 5-5-5 with the top bit unused.
  uint32_t SourcePixel(const uint8_t *row, int x, int bitCount)
  {
    switch(bitCount)
    {
    case 16:
      return FromRgb555(row + static_cast<std::ptrdiff_t>(x) * 2);
    case 24:
      return ReadPixel(row + static_cast<std::ptrdiff_t>(x) * 3, PixelFormat::Bgr24);
    default:
      return ReadPixel(row + static_cast<std::ptrdiff_t>(x) * 4, PixelFormat::Xrgb32);
    }
  }
}

void DrawingContext::Rectangle(int left, int top, int right, int bottom)
{
  // Like the classic 2D interface, a rectangle given with its corners swapped
  // is drawn as the same rectangle.
  if(left > right)
    std::swap(left, right);
  if(top > bottom)
    std::swap(top, bottom);
  // Edges more than one pixel outside the image are drawn outside it either
  // way; pulling them in keeps the arithmetic below from overflowing.
  left = std::clamp(left, -1, target.width + 1);
  right = std::clamp(right, -1, target.width + 1);
  top = std::clamp(top, -1, target.height + 1);
  bottom = std::clamp(bottom, -1, target.height + 1);
  if(right - left < 1 || bottom - top < 1)
    return;
  FillRect(left, top, right, top + 1, pen);
  FillRect(left, bottom - 1, right, bottom, pen);
  FillRect(left, top + 1, left + 1, bottom - 1, pen);
  FillRect(right - 1, top + 1, right, bottom - 1, pen);
  FillRect(left + 1, top + 1, right - 1, bottom - 1, brush);
}

void DrawingContext::FillRect(int left, int top, int right, int bottom, uint32_t rgb)
{
  if(!target.bits)
    return;
  const int x0 = std::max(left, 0);
  const int y0 = std::max(top, 0);
  const int x1 = std::min(right, target.width);
  const int y1 = std::min(bottom, target.height);
  if(x0 >= x1 || y0 >= y1)
    return;
  const int bytes = PixelBytes(target.format);
  for(int y = y0; y < y1; ++y)
  {
    uint8_t *p = target.Row(y) + static_cast<std::ptrdiff_t>(x0) * bytes;
    for(int x = x0; x < x1; ++x, p += bytes)
      WritePixel(p, target.format, rgb);
  }
}

void DrawingContext::SetPixel(int x, int y, uint32_t rgb)
{
  if(!target.bits || x < 0 || y < 0 || x >= target.width || y >= target.height)
    return;
  WritePixel(target.Row(y) + static_cast<std::ptrdiff_t>(x) * PixelBytes(target.format), target.format, rgb);
}

uint32_t DrawingContext::GetPixel(int x, int y) const
{
  if(!target.bits || x < 0 || y < 0 || x >= target.width || y >= target.height)
    return 0;
  return ReadPixel(target.Row(y) + static_cast<std::ptrdiff_t>(x) * PixelBytes(target.format), target.format);
}

void DrawingContext::DrawBitmap(int x, int y, const BitmapSource &source, RasterOperation operation)
{
  if(!target.bits || !source.bits || source.width <= 0 || source.height == 0)
    return;
  if(source.bitCount != 16 && source.bitCount != 24 && source.bitCount != 32)
    return;
  const int rows = source.Rows();
  // The part of the bitmap that lands on the target, in bitmap coordinates;
  // 64-bit so that corners far outside the target cannot overflow.
  const long long firstColumn = std::max<long long>(0, -static_cast<long long>(x));
  const long long endColumn = std::min<long long>(source.width, static_cast<long long>(target.width) - x);
  const long long firstRow = std::max<long long>(0, -static_cast<long long>(y));
  const long long endRow = std::min<long long>(rows, static_cast<long long>(target.height) - y);
  if(firstColumn >= endColumn || firstRow >= endRow)
    return;

  const std::ptrdiff_t rowBytes = (static_cast<std::ptrdiff_t>(source.width) * source.bitCount + 31) / 32 * 4;
  const int bytes = PixelBytes(target.format);
  for(long long sy = firstRow; sy < endRow; ++sy)
  {
    // Row sy counted from the top is stored last-to-first in a bottom-up bitmap.
    const long long stored = source.height > 0 ? rows - 1 - sy : sy;
    const uint8_t *sourceRow = source.bits + static_cast<std::ptrdiff_t>(stored) * rowBytes;
    uint8_t *p = target.Row(static_cast<int>(y + sy)) + static_cast<std::ptrdiff_t>(x + firstColumn) * bytes;
    for(long long sx = firstColumn; sx < endColumn; ++sx, p += bytes)
    {
      const uint32_t drawn = SourcePixel(sourceRow, static_cast<int>(sx), source.bitCount);
      WritePixel(p, target.format, Combine(ReadPixel(p, target.format), drawn, operation));
    }
  }
}
