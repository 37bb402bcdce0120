#include "platform/PngReader.h"

#include "ImageFiles.h"

#include <gtest/gtest.h>

TEST(PngReader, KeepsTheAlphaOfAnRgbaPicture)
{
  TempFolder folder;
  // 2 x 2, filter byte 0 in front of each row.
  const Bytes rows = {0, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x80,
                      0, 0x00, 0x00, 0xFF, 0x00, 0x12, 0x34, 0x56, 0x01};
  WriteFile(folder.File("rgba.png"), PngBytes::Make(2, 2, 8, 6, rows));
  ArgbImage image;
  std::string error;
  ASSERT_TRUE(PngReader::Read(folder.File("rgba.png"), image, error)) << error;
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFFF0000, 0x8000FF00, 0x000000FF, 0x01123456}));
}

TEST(PngReader, ConvertsGreyPaletteAndSixteenBitPicturesToEightBitArgb)
{
  TempFolder folder;
  ArgbImage image;
  std::string error;

  // 8-bit grey, no alpha: opaque.
  WriteFile(folder.File("grey.png"), PngBytes::Make(3, 1, 8, 0, Bytes{0, 0x00, 0x80, 0xFF}));
  ASSERT_TRUE(PngReader::Read(folder.File("grey.png"), image, error)) << error;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF000000, 0xFF808080, 0xFFFFFFFF}));

  // 2-bit palette with a transparency entry for colour 1 only.
  const Bytes palette = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90};
  // Pixels 0, 1, 2 packed in the top bits of one byte: 00 01 10 00.
  WriteFile(folder.File("palette.png"), PngBytes::Make(3, 1, 2, 3, Bytes{0, 0x18}, palette, Bytes{0xFF, 0x40}));
  ASSERT_TRUE(PngReader::Read(folder.File("palette.png"), image, error)) << error;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF102030, 0x40405060, 0xFF708090}));

  // 16-bit RGB: the high byte of each channel is kept.
  WriteFile(folder.File("deep.png"), PngBytes::Make(1, 1, 16, 2, Bytes{0, 0xAB, 0x01, 0xCD, 0x02, 0xEF, 0x03}));
  ASSERT_TRUE(PngReader::Read(folder.File("deep.png"), image, error)) << error;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFABCDEF}));

  // Grey with alpha.
  WriteFile(folder.File("greyalpha.png"), PngBytes::Make(1, 1, 8, 4, Bytes{0, 0x33, 0x99}));
  ASSERT_TRUE(PngReader::Read(folder.File("greyalpha.png"), image, error)) << error;
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x99333333}));
}

TEST(PngReader, ExplainsMissingForeignAndDamagedFiles)
{
  TempFolder folder;
  ArgbImage image;
  image.width = 7;
  std::string error;
  EXPECT_FALSE(PngReader::Read(folder.File("missing.png"), image, error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;

  WriteFile(folder.File("bitmap.png"), MakeBmp(1, 1, 24, Bytes(4, 0)));
  EXPECT_FALSE(PngReader::Read(folder.File("bitmap.png"), image, error));
  EXPECT_EQ(error, "not a PNG file");

  Bytes good = PngBytes::Make(2, 2, 8, 6, Bytes(18, 0));
  Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() - 30));
  WriteFile(folder.File("truncated.png"), truncated);
  error.clear();
  EXPECT_FALSE(PngReader::Read(folder.File("truncated.png"), image, error));
  EXPECT_FALSE(error.empty());

  Bytes corrupt = good;
  corrupt[20] ^= 0xFF; // inside IHDR: its checksum no longer matches
  WriteFile(folder.File("corrupt.png"), corrupt);
  error.clear();
  EXPECT_FALSE(PngReader::Read(folder.File("corrupt.png"), image, error));
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;

  // A header promising far more pixels than any picture of the program.
  WriteFile(folder.File("huge.png"), PngBytes::Make(100000, 100000, 8, 6, Bytes(5, 0)));
  error.clear();
  EXPECT_FALSE(PngReader::Read(folder.File("huge.png"), image, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(image.width, 7) << "a failed read leaves the image alone";
}

TEST(PngReader, AChunkThatClaimsMoreThanAnyPictureNeedsIsNotAllocated)
{
  // 62 bytes whose text chunk claims 1.1 GB: the decoder refuses to make
  // room for it instead of asking for the memory and then running out of file.
  const std::string file = std::string(VEXTORN_SOURCE_DIR) + "/tests/fuzz/regressions/png/text_chunk_of_1_1_gb.png";
  ArgbImage image;
  std::string error;
  EXPECT_FALSE(PngReader::Read(file, image, error));
  EXPECT_NE(error.find("claims 1145132152 bytes"), std::string::npos) << error;
  EXPECT_EQ(image.width, 0);
}
