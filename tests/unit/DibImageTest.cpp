#include "res/DibImage.h"

#include "ImageFiles.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
  // Draws the image's bits onto a fresh top-down 32-bit picture and returns its pixels.
  std::vector<uint32_t> Render(const DibImage &image)
  {
    const BitmapSource source = image.Bits();
    std::vector<uint32_t> pixels(static_cast<size_t>(source.width) * source.Rows(), 0xDEADBEEF);
    PixelView view;
    view.bits = reinterpret_cast<uint8_t *>(pixels.data());
    view.width = source.width;
    view.height = source.Rows();
    view.pitch = static_cast<std::ptrdiff_t>(source.width) * 4;
    view.format = PixelFormat::Xrgb32;
    DrawingContext(view).DrawBitmap(0, 0, source, RasterOperation::Copy);
    for(uint32_t &p : pixels)
      p &= 0xFFFFFF;
    return pixels;
  }

  // A 3 x 2 picture in a 24-bit file, bottom row first, rows padded to 12 bytes.
  //   top:    10 20 30 | 40 50 60 | 70 80 90   (as 0xRRGGBB: 0x302010 ...)
  //   bottom: A1 A2 A3 | B1 B2 B3 | C1 C2 C3
  Bytes Picture24()
  {
    const Bytes rows = {0xA1, 0xA2, 0xA3, 0xB1, 0xB2, 0xB3, 0xC1, 0xC2, 0xC3, 0, 0, 0,
                        0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0, 0, 0};
    return MakeBmp(3, 2, 24, rows);
  }
  const std::vector<uint32_t> Picture24Pixels = {0x302010, 0x605040, 0x908070, 0xA3A2A1, 0xB3B2B1, 0xC3C2C1};
}

TEST(DibImage, CreateDibZeroesTheByteImageAndTheSection)
{
  DibImage image;
  ASSERT_TRUE(image.CreateDib(5, 3, 24));
  EXPECT_FALSE(image.FromFile());
  EXPECT_EQ(image.Width(), 5);
  EXPECT_EQ(image.Height(), 3);
  for(int i = 0; i < 5 * 3 * 3; ++i)
    ASSERT_EQ(image.Data()[i], 0) << i;
  const BitmapSource bits = image.Bits();
  EXPECT_EQ(bits.width, 5);
  EXPECT_EQ(bits.height, 3);
  EXPECT_EQ(bits.bitCount, 24);
  for(int i = 0; i < bits.RowBytes() * 3; ++i)
    ASSERT_EQ(bits.bits[i], 0) << i;

  // Drawing changes the section, not the byte image.
  image.MemoryDc().FillRect(0, 0, 5, 3, 0xFFFFFF);
  EXPECT_EQ(Render(image), std::vector<uint32_t>(15, 0xFFFFFF));
  for(int i = 0; i < 5 * 3 * 3; ++i)
    ASSERT_EQ(image.Data()[i], 0) << i;
}

TEST(DibImage, SixteenBitImageHasATwoByteImageAndADrawableSection)
{
  DibImage image;
  ASSERT_TRUE(image.CreateDib(3, 2, 16));
  for(int i = 0; i < 3 * 2 * 2; ++i)
    ASSERT_EQ(image.Data()[i], 0);
  image.MemoryDc().SetPixel(2, 0, 0xFF00FF);
  EXPECT_EQ(image.MemoryDc().GetPixel(2, 0), 0xFF00FFu);
  EXPECT_EQ(Render(image), (std::vector<uint32_t>{0, 0, 0xFF00FF, 0, 0, 0}));
}

TEST(DibImage, CreateDibRefusesEmptyNegativeAndAbsurdSizes)
{
  DibImage image;
  EXPECT_FALSE(image.CreateDib(0, 10, 24));
  EXPECT_FALSE(image.CreateDib(10, -1, 24));
  EXPECT_FALSE(image.CreateDib(INT_MAX, INT_MAX, 24));
  EXPECT_FALSE(image.CreateDib(4, 4, 8));
  EXPECT_EQ(image.Width(), 0);
  EXPECT_EQ(image.Data(), nullptr);
}

TEST(DibImage, SaveBmpOfTheModelAreaWritesTheExactHeaderAndBottomUpPaddedRows)
{
  TempFolder folder;
  DibImage image;
  ASSERT_TRUE(image.CreateDib(506, 336, 24));
  // Top-left red, bottom-right blue, one green pixel in the top row's middle.
  image.MemoryDc().SetPixel(0, 0, 0xFF0000);
  image.MemoryDc().SetPixel(505, 335, 0x0000FF);
  image.MemoryDc().SetPixel(200, 0, 0x00FF00);
  const std::string path = folder.File("pict.bmp");
  ASSERT_TRUE(image.SaveBmp(path));

  const Bytes file = ReadFile(path);
  ASSERT_EQ(file.size(), 510774u);
  Bytes expectedHeader(54, 0);
  expectedHeader[0] = 'B';
  expectedHeader[1] = 'M';
  Put32(expectedHeader, 2, 510774);
  Put32(expectedHeader, 10, 54);
  Put32(expectedHeader, 14, 40);
  Put32(expectedHeader, 18, 506);
  Put32(expectedHeader, 22, 336);
  Put16(expectedHeader, 26, 1);
  Put16(expectedHeader, 28, 24);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 54), expectedHeader);

  const size_t rowBytes = 1520;
  const size_t topRow = 54 + 335 * rowBytes;
  EXPECT_EQ(Bytes(file.begin() + topRow, file.begin() + topRow + 3), (Bytes{0x00, 0x00, 0xFF}));
  EXPECT_EQ(Bytes(file.begin() + topRow + 600, file.begin() + topRow + 603), (Bytes{0x00, 0xFF, 0x00}));
  EXPECT_EQ(Bytes(file.begin() + 54 + 505 * 3, file.begin() + 54 + 506 * 3), (Bytes{0xFF, 0x00, 0x00}));
  size_t nonZero = 0;
  for(size_t i = 54; i < file.size(); ++i)
    nonZero += file[i] != 0;
  EXPECT_EQ(nonZero, 3u) << "padding and untouched pixels must stay zero";
}

TEST(DibImage, SaveBmpReportsEveryFailure)
{
  TempFolder folder;
  DibImage image;
  ASSERT_TRUE(image.CreateDib(16, 16, 24));
  EXPECT_FALSE(image.SaveBmp(folder.File("missing-folder/pict.bmp")));
  EXPECT_FALSE(image.SaveBmp(folder.path.string()));
  // A device that accepts the file but has no room for the bytes.
  if(std::filesystem::exists("/dev/full"))
  {
    EXPECT_FALSE(image.SaveBmp("/dev/full"));
  }

  DibImage notCreated;
  EXPECT_FALSE(notCreated.SaveBmp(folder.File("empty.bmp")));
  DibImage sixteen;
  ASSERT_TRUE(sixteen.CreateDib(4, 4, 16));
  EXPECT_FALSE(sixteen.SaveBmp(folder.File("sixteen.bmp")));
}

TEST(DibImage, SavedPictureLoadsBackPixelForPixel)
{
  TempFolder folder;
  DibImage image;
  ASSERT_TRUE(image.CreateDib(7, 3, 24));
  std::vector<uint32_t> expected;
  for(int y = 0; y < 3; ++y)
    for(int x = 0; x < 7; ++x)
    {
      const uint32_t rgb = static_cast<uint32_t>(x * 30) << 16 | static_cast<uint32_t>(y * 70) << 8 | 0x5A;
      image.MemoryDc().SetPixel(x, y, rgb);
      expected.push_back(rgb);
    }
  ASSERT_TRUE(image.SaveBmp(folder.File("round.bmp")));
  DibImage loaded;
  ASSERT_TRUE(loaded.LoadBmp(folder.File("round.bmp")));
  EXPECT_TRUE(loaded.FromFile());
  EXPECT_EQ(loaded.Width(), 7);
  EXPECT_EQ(loaded.Height(), 3);
  EXPECT_EQ(Render(loaded), expected);
}

TEST(DibImage, LoadBmpComparesOnlyTheFirstMagicByteAndAcceptsSixteenBitsAndMore)
{
  TempFolder folder;
  Bytes file24 = Picture24();
  file24[1] = 'X';
  WriteFile(folder.File("24.bmp"), file24);
  DibImage image24;
  ASSERT_TRUE(image24.LoadBmp(folder.File("24.bmp")));
  EXPECT_EQ(Render(image24), Picture24Pixels);

  // 32 bits per pixel, top-down (negative height), second byte not 'M'.
  const Bytes rows32 = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
  Bytes file32 = MakeBmp(2, -2, 32, rows32);
  file32[1] = 0;
  WriteFile(folder.File("32.bmp"), file32);
  DibImage image32;
  ASSERT_TRUE(image32.LoadBmp(folder.File("32.bmp")));
  EXPECT_EQ(image32.Height(), -2);
  EXPECT_EQ(Render(image32), (std::vector<uint32_t>{0x030201, 0x060504, 0x090807, 0x0C0B0A}));

  const Bytes rows16 = {0x00, 0x7C, 0, 0};
  WriteFile(folder.File("16.bmp"), MakeBmp(1, 1, 16, rows16));
  DibImage image16;
  ASSERT_TRUE(image16.LoadBmp(folder.File("16.bmp")));
  EXPECT_EQ(Render(image16), (std::vector<uint32_t>{0xFF0000}));
}

TEST(DibImage, LoadBmpRefusesEightBitsMissingAndDamagedFilesAndKeepsWhatItHad)
{
  TempFolder folder;
  WriteFile(folder.File("good.bmp"), Picture24());
  DibImage image;
  ASSERT_TRUE(image.LoadBmp(folder.File("good.bmp")));

  struct Damage {
    const char *what;
    Bytes file;
  };
  std::vector<Damage> cases;
  const Bytes good = Picture24();
  auto changed = [&](size_t at, uint32_t value, bool wide) {
    Bytes file = good;
    if(wide)
      Put32(file, at, value);
    else
      Put16(file, at, value);
    return file;
  };
  cases.push_back({"8 bits per pixel", changed(28, 8, false)});
  cases.push_back({"first byte not B", changed(0, 'M' << 8 | 'C', false)});
  cases.push_back({"shorter than the headers", Bytes(good.begin(), good.begin() + 40)});
  cases.push_back({"empty", Bytes{}});
  cases.push_back({"last row cut short", Bytes(good.begin(), good.end() - 1)});
  cases.push_back({"pixel offset past the end", changed(10, 5000, true)});
  cases.push_back({"pixel offset far past the end", changed(10, 0xFFFFFFF0u, true)});
  cases.push_back({"pixel offset inside the header", changed(10, 20, true)});
  cases.push_back({"height too big for the file", changed(22, 3, true)});
  cases.push_back({"negative height too big for the file", changed(22, static_cast<uint32_t>(-3), true)});
  cases.push_back({"width too big for the file", changed(18, 5, true)});
  cases.push_back({"zero width", changed(18, 0, true)});
  cases.push_back({"negative width", changed(18, static_cast<uint32_t>(-3), true)});
  cases.push_back({"zero height", changed(22, 0, true)});
  cases.push_back({"absurd width", changed(18, 0x7FFFFFFF, true)});
  cases.push_back({"absurd height", changed(22, 0x80000000u, true)});
  cases.push_back({"absurd bit count", changed(28, 0xFFFF, false)});
  cases.push_back({"information header longer than the file", changed(14, 0x7FFFFFFF, true)});

  for(const Damage &damage : cases)
  {
    SCOPED_TRACE(damage.what);
    WriteFile(folder.File("bad.bmp"), damage.file);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(image.LoadBmp(folder.File("bad.bmp")));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("bad.bmp"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(Render(image), Picture24Pixels);
  }
  EXPECT_FALSE(image.LoadBmp(folder.File("no-such-file.bmp")));
  EXPECT_EQ(Render(image), Picture24Pixels);
}
