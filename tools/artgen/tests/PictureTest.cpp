// The picture building blocks: cairo pictures and their BMP output through the
// program's writer, the picture set, and splitting a cursor into mask and colour.
#include "ArtSet.h"
#include "CairoImage.h"
#include "CursorArt.h"

#include "res/DibImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {
  std::filesystem::path TempDir(const char *name)
  {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
  }

  // The pixel (x, y), row 0 at the top, of a BMP read back with the program's reader.
  uint32_t BmpPixel(const DibImage &dib, int x, int y)
  {
    const BitmapSource source = dib.Bits();
    const int row = source.height > 0 ? source.height - 1 - y : y;
    const uint8_t *p = source.bits + static_cast<size_t>(row) * source.RowBytes() + x * 3;
    return (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
  }
}

TEST(CairoImage, PixelsRoundTripAndOpaquePicturesStartWhite)
{
  CairoImage opaque(4, 3, false);
  EXPECT_EQ(opaque.Pixel(0, 0), 0xFFFFFFFFu);
  opaque.SetPixel(1, 2, 0x00123456);
  EXPECT_EQ(opaque.Pixel(1, 2), 0xFF123456u);
  EXPECT_EQ(opaque.Pixel(4, 0), 0u);
  opaque.SetPixel(-1, 0, 0x0); // outside: ignored

  CairoImage clear(4, 3, true);
  EXPECT_EQ(clear.Pixel(2, 2), 0u);
  clear.SetPixel(2, 2, 0xFF00FF80);
  EXPECT_EQ(clear.Pixel(2, 2), 0xFF00FF80u);
  // Half-transparent colours come back within rounding of premultiplication.
  clear.SetPixel(3, 0, 0x80C08040);
  const uint32_t back = clear.Pixel(3, 0);
  EXPECT_EQ(back >> 24, 0x80u);
  EXPECT_NEAR(static_cast<int>((back >> 16) & 0xFF), 0xC0, 2);
  EXPECT_NEAR(static_cast<int>((back >> 8) & 0xFF), 0x80, 2);
  EXPECT_NEAR(static_cast<int>(back & 0xFF), 0x40, 2);
}

TEST(CairoImage, BmpWrittenThroughTheProgramsWriterReadsBackTheRightWayUp)
{
  const std::filesystem::path dir = TempDir("artgen_bmp_test");
  // An odd width exercises the row padding.
  CairoImage image(5, 3, false);
  for(int y = 0; y < 3; ++y)
    for(int x = 0; x < 5; ++x)
      image.SetPixel(x, y, static_cast<uint32_t>((x * 50) << 16 | (y * 100) << 8 | (x + y)));
  const std::string path = (dir / "t.bmp").string();
  ASSERT_TRUE(image.WriteBmp(path));
  DibImage dib;
  ASSERT_TRUE(dib.LoadBmp(path));
  ASSERT_EQ(dib.Bits().width, 5);
  ASSERT_EQ(dib.Bits().Rows(), 3);
  ASSERT_EQ(dib.Bits().bitCount, 24);
  for(int y = 0; y < 3; ++y)
    for(int x = 0; x < 5; ++x)
      EXPECT_EQ(BmpPixel(dib, x, y), image.Pixel(x, y) & 0xFFFFFF) << x << "," << y;
  std::filesystem::remove_all(dir);
}

TEST(CairoImage, CopyFromCopiesARectangleExactly)
{
  CairoImage source(6, 6, false);
  for(int y = 0; y < 6; ++y)
    for(int x = 0; x < 6; ++x)
      source.SetPixel(x, y, static_cast<uint32_t>(x * 16 + y));
  CairoImage target(3, 2, false);
  target.CopyFrom(source, 2, 3, 3, 2, 0, 0);
  for(int y = 0; y < 2; ++y)
    for(int x = 0; x < 3; ++x)
      EXPECT_EQ(target.Pixel(x, y), source.Pixel(x + 2, y + 3));
}

TEST(ArtSet, RefusesAPictureMadeTwiceAndReportsAnUnwritableFolder)
{
  ArtSet set;
  set.Add("a.png", std::make_unique<CairoImage>(2, 2, true));
  set.Add("b.bmp", std::make_unique<CairoImage>(2, 2, false));
  EXPECT_THROW(set.Add("a.png", std::make_unique<CairoImage>(2, 2, true)), std::logic_error);
  ASSERT_NE(set.Find("b.bmp"), nullptr);
  EXPECT_EQ(set.Find("c.png"), nullptr);

  const std::filesystem::path dir = TempDir("artgen_set_test");
  ASSERT_TRUE(set.WriteAll(dir.string()));
  EXPECT_TRUE(std::filesystem::exists(dir / "a.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "b.bmp"));
  EXPECT_FALSE(set.WriteAll((dir / "missing").string()));
  std::filesystem::remove_all(dir);
}

TEST(CursorArt, MaskCoversHalfCoveredPixelsAndColourIsBlackOutsideIt)
{
  CairoImage drawn(4, 1, true);
  drawn.SetPixel(0, 0, 0x00000000); // empty
  drawn.SetPixel(1, 0, 0x7FFF0000); // just under half covered
  drawn.SetPixel(2, 0, 0x80FF0000); // half covered
  drawn.SetPixel(3, 0, 0xFF00FF00); // covered
  const std::unique_ptr<CairoImage> mask = CursorArt::MaskOf(drawn);
  EXPECT_EQ(mask->Pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(mask->Pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(mask->Pixel(2, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(mask->Pixel(3, 0) & 0xFFFFFF, 0u);
  const std::unique_ptr<CairoImage> colour = CursorArt::ColourOf(drawn, *mask);
  EXPECT_EQ(colour->Pixel(0, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(colour->Pixel(1, 0) & 0xFFFFFF, 0u); // some red was drawn, but the screen shows here
  EXPECT_EQ(colour->Pixel(3, 0) & 0xFFFFFF, 0x00FF00u);
}

TEST(CursorArt, EveryFamilySharesItsMaskAndTheSetHoldsAllCursorFiles)
{
  ArtSet set;
  CursorArt::Make(set);
  // delete and hand: picture, bitmap, mask; pens and cubes: 9 pictures, 9 bitmaps, one mask.
  EXPECT_EQ(set.Entries().size(), 2u * 3u + 2u * 19u);
  for(const char *name : {"cursor_delete_mask.bmp", "cursor_hand_mask.bmp", "cursor_pen_mask.bmp",
                          "cursor_cube_mask.bmp", "cursor_pen_gray.bmp", "cursor_cube_black.png"})
    EXPECT_NE(set.Find(name), nullptr) << name;
  EXPECT_EQ(set.Find("cursor_pen_red_mask.bmp"), nullptr);
}
