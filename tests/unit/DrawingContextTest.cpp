#include "gfx/DrawingContext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
  constexpr uint32_t Background = 0x123456;
  constexpr uint32_t Canary = 0xA5A5A5A5;

  // A width by height Xrgb32 image placed inside a larger buffer with a
  // margin of canary words on every side, so that a write outside the image
  // is seen.
  struct FramedImage {
    static constexpr int Margin = 3;

    FramedImage(int width, int height)
      : width(width), height(height), stride(width + 2 * Margin),
        words(static_cast<size_t>(stride) * (height + 2 * Margin), Canary)
    {
      for(int y = 0; y < height; ++y)
        for(int x = 0; x < width; ++x)
          At(x, y) = Background;
      view.bits = reinterpret_cast<uint8_t *>(&At(0, 0));
      view.width = width;
      view.height = height;
      view.pitch = static_cast<std::ptrdiff_t>(stride) * 4;
      view.format = PixelFormat::Xrgb32;
    }

    uint32_t &At(int x, int y) { return words[static_cast<size_t>(y + Margin) * stride + x + Margin]; }

    // True when every word of the margin still holds the canary.
    bool MarginIntact()
    {
      for(int y = -Margin; y < height + Margin; ++y)
        for(int x = -Margin; x < width + Margin; ++x)
        {
          const bool inside = x >= 0 && y >= 0 && x < width && y < height;
          if(!inside && At(x, y) != Canary)
            return false;
        }
      return true;
    }

    int width;
    int height;
    int stride;
    std::vector<uint32_t> words;
    PixelView view;
  };

  // Pixel rows of a 24-bit BMP, padded to four bytes with 0xEE so that a
  // reader that takes padding for pixels shows it. `rows` is top row first;
  // `bottomUp` stores them last row first.
  std::vector<uint8_t> Rows24(const std::vector<std::vector<uint32_t>> &rows, bool bottomUp)
  {
    const size_t width = rows[0].size();
    const size_t rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> bits;
    for(size_t i = 0; i < rows.size(); ++i)
    {
      const auto &row = rows[bottomUp ? rows.size() - 1 - i : i];
      for(uint32_t rgb : row)
      {
        bits.push_back(static_cast<uint8_t>(rgb));
        bits.push_back(static_cast<uint8_t>(rgb >> 8));
        bits.push_back(static_cast<uint8_t>(rgb >> 16));
      }
      bits.resize((i + 1) * rowBytes, 0xEE);
    }
    return bits;
  }

  // A 3 x 2 cursor: the mask is white where the background shows and black
  // under the cursor; the colour bitmap is black where the background shows.
  const std::vector<std::vector<uint32_t>> CursorMask = {
    {0x000000, 0xFFFFFF, 0xFFFFFF},
    {0x000000, 0x000000, 0xFFFFFF},
  };
  const std::vector<std::vector<uint32_t>> CursorColour = {
    {0xFF0000, 0x000000, 0x000000},
    {0x00FF00, 0x0000FF, 0x000000},
  };

  void DrawCursorAt(DrawingContext &dc, int x, int y, bool bottomUp)
  {
    const std::vector<uint8_t> mask = Rows24(CursorMask, bottomUp);
    const std::vector<uint8_t> colour = Rows24(CursorColour, bottomUp);
    const int height = bottomUp ? 2 : -2;
    dc.DrawBitmap(x, y, BitmapSource{mask.data(), 3, height, 24}, RasterOperation::And);
    dc.DrawBitmap(x, y, BitmapSource{colour.data(), 3, height, 24}, RasterOperation::Or);
  }

  void ExpectCursorAt(FramedImage &image, int x, int y)
  {
    for(int py = 0; py < image.height; ++py)
      for(int px = 0; px < image.width; ++px)
      {
        uint32_t expected = Background;
        const int cx = px - x;
        const int cy = py - y;
        if(cx >= 0 && cx < 3 && cy >= 0 && cy < 2)
          expected = CursorMask[cy][cx] == 0 ? CursorColour[cy][cx] : Background;
        EXPECT_EQ(image.At(px, py) & 0xFFFFFF, expected) << "pixel " << px << "," << py;
      }
    EXPECT_TRUE(image.MarginIntact());
  }
}

TEST(DrawingContext, RectangleOutlinesWithThePenFillsWithTheBrushAndLeavesRightAndBottomOut)
{
  FramedImage image(10, 10);
  DrawingContext dc(image.view);
  dc.SetPen(0x0000FF);
  dc.SetBrush(0x00FF00);
  dc.Rectangle(2, 3, 7, 8);
  for(int y = 0; y < 10; ++y)
    for(int x = 0; x < 10; ++x)
    {
      uint32_t expected = Background;
      if(x >= 2 && x < 7 && y >= 3 && y < 8)
        expected = (x == 2 || x == 6 || y == 3 || y == 7) ? 0x0000FF : 0x00FF00;
      EXPECT_EQ(image.At(x, y) & 0xFFFFFF, expected) << "pixel " << x << "," << y;
    }
  EXPECT_TRUE(image.MarginIntact());
}

TEST(DrawingContext, OutlineRectangleTwoWideOneTallBlackensExactlyTwoPixels)
{
  FramedImage image(6, 4);
  DrawingContext dc(image.view);
  dc.SetPen(0);
  dc.SetBrush(0);
  dc.Rectangle(2, 1, 4, 2);
  for(int y = 0; y < 4; ++y)
    for(int x = 0; x < 6; ++x)
      EXPECT_EQ(image.At(x, y) & 0xFFFFFF, (y == 1 && (x == 2 || x == 3)) ? 0u : Background) << x << "," << y;

  // At the left edge the pixel left of the image is clipped away.
  dc.Rectangle(-1, 3, 1, 4);
  EXPECT_EQ(image.At(0, 3) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.At(1, 3) & 0xFFFFFF, Background);
  EXPECT_TRUE(image.MarginIntact());
}

TEST(DrawingContext, RectanglesAndFillsClipAtEveryEdge)
{
  FramedImage image(5, 4);
  DrawingContext dc(image.view);
  dc.SetPen(0x111111);
  dc.SetBrush(0x222222);
  // Larger than the image on every side: only the brush lands inside.
  dc.Rectangle(-2, -2, 8, 7);
  for(int y = 0; y < 4; ++y)
    for(int x = 0; x < 5; ++x)
      EXPECT_EQ(image.At(x, y) & 0xFFFFFF, 0x222222u) << x << "," << y;
  // Its right column and bottom row lie outside the image: only the top row
  // and left column of the outline show.
  dc.Rectangle(3, 2, 6, 5);
  EXPECT_EQ(image.At(3, 2) & 0xFFFFFF, 0x111111u);
  EXPECT_EQ(image.At(4, 3) & 0xFFFFFF, 0x222222u);
  EXPECT_EQ(image.At(3, 3) & 0xFFFFFF, 0x111111u);

  // Corners at the ends of the integer range: the outline is far outside.
  dc.SetBrush(0x555555);
  dc.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(image.At(0, 0) & 0xFFFFFF, 0x555555u);
  EXPECT_EQ(image.At(4, 3) & 0xFFFFFF, 0x555555u);
  dc.Rectangle(INT32_MIN, 0, -1, 4);
  EXPECT_EQ(image.At(0, 1) & 0xFFFFFF, 0x555555u);

  dc.FillRect(-100, -100, 100, 1, 0x333333);
  for(int x = 0; x < 5; ++x)
    EXPECT_EQ(image.At(x, 0) & 0xFFFFFF, 0x333333u);
  // Empty and inverted fills draw nothing.
  dc.FillRect(2, 2, 2, 4, 0x444444);
  dc.FillRect(3, 3, 1, 1, 0x444444);
  for(int y = 0; y < 4; ++y)
    for(int x = 0; x < 5; ++x)
      EXPECT_NE(image.At(x, y) & 0xFFFFFF, 0x444444u);
  EXPECT_TRUE(image.MarginIntact());
}

TEST(DrawingContext, SetPixelAndGetPixelKeepToTheImageAndItsFourthByte)
{
  FramedImage image(4, 3);
  DrawingContext dc(image.view);
  image.At(1, 2) = 0xFF000000 | Background;
  dc.SetPixel(1, 2, 0xABCDEF);
  EXPECT_EQ(image.At(1, 2), 0xFFABCDEFu);
  EXPECT_EQ(dc.GetPixel(1, 2), 0xABCDEFu);
  for(int y = -1; y <= 3; ++y)
    for(int x = -1; x <= 4; ++x)
      if(x < 0 || y < 0 || x >= 4 || y >= 3)
      {
        dc.SetPixel(x, y, 0);
        EXPECT_EQ(dc.GetPixel(x, y), 0u);
      }
  EXPECT_TRUE(image.MarginIntact());
}

TEST(DrawingContext, BottomUpBgr24ViewHasItsTopRowStoredLast)
{
  // Two rows of 3 pixels, each padded to 12 bytes, bottom row first in memory.
  std::vector<uint8_t> bits(24, 0);
  PixelView view;
  view.bits = bits.data() + 12;
  view.width = 3;
  view.height = 2;
  view.pitch = -12;
  view.format = PixelFormat::Bgr24;
  DrawingContext dc(view);
  dc.SetPixel(0, 0, 0x102030);
  dc.SetPixel(2, 1, 0x405060);
  const std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 0x60, 0x50, 0x40, 0, 0, 0,
                                         0x30, 0x20, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(bits, expected);
  EXPECT_EQ(dc.GetPixel(2, 1), 0x405060u);
}

TEST(DrawingContext, CursorMaskAndColourOfAPaddedBottomUpBitmapLandExactly)
{
  FramedImage image(8, 6);
  DrawingContext dc(image.view);
  DrawCursorAt(dc, 2, 3, true);
  ExpectCursorAt(image, 2, 3);
}

TEST(DrawingContext, TopDownBitmapLandsTheSameWayUp)
{
  FramedImage image(8, 6);
  DrawingContext dc(image.view);
  DrawCursorAt(dc, 4, 1, false);
  ExpectCursorAt(image, 4, 1);
}

TEST(DrawingContext, BitmapsClipAtAllFourEdges)
{
  for(const auto &[x, y] : std::vector<std::pair<int, int>>{{-2, 1}, {6, 2}, {3, -1}, {1, 5}, {-1, -1}, {7, 5}})
  {
    SCOPED_TRACE(testing::Message() << "corner " << x << "," << y);
    FramedImage image(8, 6);
    DrawingContext dc(image.view);
    DrawCursorAt(dc, x, y, true);
    ExpectCursorAt(image, x, y);
  }
  // Entirely outside, even far enough that the corner arithmetic could overflow.
  FramedImage image(8, 6);
  DrawingContext dc(image.view);
  for(const auto &[x, y] : std::vector<std::pair<int, int>>{{8, 0}, {0, 6}, {-3, 0}, {0, -2}, {INT32_MAX, 0},
                                                             {INT32_MIN, INT32_MIN}, {0, INT32_MAX}})
    DrawCursorAt(dc, x, y, true);
  ExpectCursorAt(image, 100, 100);
}

TEST(DrawingContext, CopiesSixteenAndThirtyTwoBitRows)
{
  FramedImage image(4, 2);
  DrawingContext dc(image.view);
  // 16 bits, 5-5-5: white, pure red, pure green; then blue, black, mid grey.
  // Rows of 3 pixels take 6 bytes, padded to 8; stored bottom row first.
  const std::vector<uint8_t> bits16 = {0x1F, 0x00, 0x00, 0x00, 0x10, 0x42, 0xEE, 0xEE,
                                       0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0xEE, 0xEE};
  dc.DrawBitmap(0, 0, BitmapSource{bits16.data(), 3, 2, 16}, RasterOperation::Copy);
  EXPECT_EQ(dc.GetPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(dc.GetPixel(1, 0), 0xFF0000u);
  EXPECT_EQ(dc.GetPixel(2, 0), 0x00FF00u);
  EXPECT_EQ(dc.GetPixel(0, 1), 0x0000FFu);
  EXPECT_EQ(dc.GetPixel(1, 1), 0x000000u);
  EXPECT_EQ(dc.GetPixel(2, 1), 0x848484u);
  EXPECT_EQ(dc.GetPixel(3, 0), Background);

  // 32 bits, top-down: the fourth byte of the source is not colour.
  const std::vector<uint8_t> bits32 = {0x01, 0x02, 0x03, 0x99, 0x04, 0x05, 0x06, 0x99};
  dc.DrawBitmap(2, 1, BitmapSource{bits32.data(), 1, -2, 32}, RasterOperation::Copy);
  EXPECT_EQ(image.At(2, 1) & 0xFFFFFF, 0x030201u);
  EXPECT_TRUE(image.MarginIntact());
}

TEST(DrawingContext, SixteenBitTargetStoresFiveBitChannels)
{
  std::vector<uint8_t> bits(8, 0);
  PixelView view;
  view.bits = bits.data();
  view.width = 2;
  view.height = 2;
  view.pitch = 4;
  view.format = PixelFormat::Rgb555;
  DrawingContext dc(view);
  dc.SetPixel(1, 0, 0xFF0000);
  dc.SetPixel(0, 1, 0x0800F8);
  EXPECT_EQ(bits, (std::vector<uint8_t>{0, 0, 0x00, 0x7C, 0x1F, 0x04, 0, 0}));
  EXPECT_EQ(dc.GetPixel(1, 0), 0xFF0000u);
  EXPECT_EQ(dc.GetPixel(0, 1), 0x0800FFu);
}
