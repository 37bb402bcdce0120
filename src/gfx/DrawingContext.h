#pragma once

#include "gfx/BitmapSource.h"
#include "gfx/PixelView.h"

#include <cstdint>

// How a drawn bitmap combines with the pixels already there.
enum class RasterOperation { Copy, And, Or };

// Exact-pixel 2D drawing on an image in memory: the back buffer after a scene,
// or a picture being captured. Colours are 0x00RRGGBB. Every operation clips
// to the image; rectangles exclude their right and bottom edges. Writes change
// only the colour bytes of a pixel (the fourth byte of Xrgb32 is kept).
class DrawingContext {
public:
  DrawingContext() = default;
  explicit DrawingContext(const PixelView &target) : target(target) {}

  void SetTarget(const PixelView &view) { target = view; }
  const PixelView &Target() const { return target; }

  // The colour of the one-pixel outline and of the fill that Rectangle draws.
  void SetPen(uint32_t rgb) { pen = rgb; }
  void SetBrush(uint32_t rgb) { brush = rgb; }

  // Outlines (left, top)-(right, bottom) with the pen and fills the inside
  // with the brush; the right column and bottom row are not touched. Swapped
  // corners are put in order first.
  void Rectangle(int left, int top, int right, int bottom);
  // Fills (left, top)-(right, bottom), right and bottom excluded; nothing
  // when right <= left or bottom <= top.
  void FillRect(int left, int top, int right, int bottom, uint32_t rgb);
  void SetPixel(int x, int y, uint32_t rgb);
  // 0 for a pixel outside the image.
  uint32_t GetPixel(int x, int y) const;
  // Draws the bitmap unscaled with its top-left corner at (x, y), combining
  // each of its pixels with the one there. 16-bit (5-5-5), 24-bit and 32-bit
  // bitmaps are drawn; other bit counts draw nothing.
  void DrawBitmap(int x, int y, const BitmapSource &source, RasterOperation operation);

private:
  PixelView target;
  uint32_t pen = 0;
  uint32_t brush = 0xFFFFFF;
};
