#include "res/RgbBitmap.h"

#include "ImageFiles.h"

#include <gtest/gtest.h>

TEST(RgbBitmap, TakesTightlyPackedTriplesInFileOrderAndSwapsBlueAndRed)
{
  TempFolder folder;
  // A 3 x 2 file whose rows are padded to 12 bytes. The reader ignores the
  // padding and the row order: it takes six consecutive triples from the
  // pixel offset, so the fourth pixel starts in the first row's padding.
  Bytes rows;
  for(int i = 0; i < 24; ++i)
    rows.push_back(static_cast<uint8_t>(i + 1));
  WriteFile(folder.File("rgb.bmp"), MakeBmp(3, 2, 24, rows));

  RgbBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadRgbFile(folder.File("rgb.bmp")));
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  ASSERT_NE(bitmap.Pixels(), nullptr);
  for(int i = 0; i < 6; ++i)
  {
    const RgbColour expected{static_cast<uint8_t>(3 * i + 3), static_cast<uint8_t>(3 * i + 2),
                             static_cast<uint8_t>(3 * i + 1)};
    EXPECT_EQ(bitmap.Pixels()[i], expected) << "pixel " << i;
  }
}

TEST(RgbBitmap, SecondMagicByteIsNotComparedAndThirtyTwoBitFilesAreReadAsTriples)
{
  TempFolder folder;
  Bytes file = MakeBmp(2, 1, 32, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  file[1] = '?';
  WriteFile(folder.File("32.bmp"), file);
  RgbBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadRgbFile(folder.File("32.bmp")));
  EXPECT_EQ(bitmap.Pixels()[0], (RgbColour{3, 2, 1}));
  EXPECT_EQ(bitmap.Pixels()[1], (RgbColour{6, 5, 4}));
}

TEST(RgbBitmap, RefusesFilesWhosePixelsAreNotAllThereAndFreesTheArray)
{
  TempFolder folder;
  WriteFile(folder.File("good.bmp"), MakeBmp(2, 2, 24, Bytes(16, 7)));
  RgbBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadRgbFile(folder.File("good.bmp")));

  // 100 x 100 pixels promised, 16 bytes present.
  WriteFile(folder.File("short.bmp"), MakeBmp(100, 100, 24, Bytes(16, 7)));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(bitmap.LoadRgbFile(folder.File("short.bmp")));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("short.bmp"), std::string::npos);
  EXPECT_EQ(bitmap.Pixels(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);

  WriteFile(folder.File("eight.bmp"), MakeBmp(2, 2, 8, Bytes(16, 7)));
  EXPECT_FALSE(bitmap.LoadRgbFile(folder.File("eight.bmp")));
  EXPECT_FALSE(bitmap.LoadRgbFile(folder.File("missing.bmp")));
  EXPECT_EQ(bitmap.Pixels(), nullptr);
}
