// Capturing the model area into data/pict.bmp, and where the picture goes on
// the page: the placement rule in printer dots and its mapping to points.
#include "gfx/GraphicsDevice.h"
#include "platform/PrintService.h"
#include "res/DibImage.h"
#include "res/PicturePrinter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
  // A colour unique to each back-buffer pixel of a 640 x 480 screen, never black.
  uint32_t PatternColour(int x, int y, uint32_t salt)
  {
    return (static_cast<uint32_t>(x & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8 |
            static_cast<uint32_t>(0x40 + ((x >> 8) | (y >> 8) << 2))) ^ salt;
  }

  void FillBackBuffer(GraphicsDevice &device, uint32_t salt)
  {
    DrawingContext *dc = device.BackBuffer()->GetDC();
    ASSERT_NE(dc, nullptr);
    for(int y = 0; y < device.BackBuffer()->Height(); ++y)
      for(int x = 0; x < device.BackBuffer()->Width(); ++x)
        dc->SetPixel(x, y, PatternColour(x, y, salt));
    device.BackBuffer()->ReleaseDC(dc);
  }

  std::vector<uint8_t> ReadFile(const std::string &name)
  {
    std::ifstream in(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  uint32_t Read32(const std::vector<uint8_t> &bytes, size_t at)
  {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
  }

  // Pixel (x, y) of a 24-bit bottom-up BMP file, counted from the top, as 0x00RRGGBB.
  uint32_t BmpPixel(const std::vector<uint8_t> &bytes, int x, int y)
  {
    const int width = static_cast<int>(Read32(bytes, 18));
    const int height = static_cast<int>(Read32(bytes, 22));
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t at = Read32(bytes, 10) + static_cast<size_t>(height - 1 - y) * rowBytes + static_cast<size_t>(x) * 3;
    return static_cast<uint32_t>(bytes[at + 2]) << 16 | bytes[at + 1] << 8 | bytes[at];
  }

  // Runs each test in a fresh working directory with an empty data/ folder.
  class PictureCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
      previous = std::filesystem::current_path();
      std::string pattern = (std::filesystem::temp_directory_path() / "vextorn-capture-XXXXXX").string();
      ASSERT_NE(mkdtemp(pattern.data()), nullptr);
      folder = pattern;
      std::filesystem::create_directory(folder / "data");
      std::filesystem::current_path(folder);
    }

    void TearDown() override
    {
      std::filesystem::current_path(previous);
      std::filesystem::remove_all(folder);
    }

    // Captures and checks the saved file against the back buffer pattern.
    void CaptureAndCheck(GraphicsDevice &device, uint32_t salt)
    {
      DibImage image;
      ASSERT_TRUE(image.CreateDib(506, 336, 24));
      PicturePrinter printer("data/pict.bmp");
      ASSERT_TRUE(printer.Capture(device, image));

      const std::vector<uint8_t> bytes = ReadFile("data/pict.bmp");
      ASSERT_EQ(bytes.size(), 54u + 1520u * 336u);
      EXPECT_EQ(Read32(bytes, 18), 506u);
      EXPECT_EQ(Read32(bytes, 22), 336u);
      EXPECT_EQ(bytes[28], 24);

      int wrongFrame = 0;
      int wrongInside = 0;
      for(int y = 0; y < 336; ++y)
      {
        for(int x = 0; x < 506; ++x)
        {
          const uint32_t saved = BmpPixel(bytes, x, y);
          if(x == 0 || y == 0 || x == 505 || y == 335)
            wrongFrame += saved != 0;
          else
            wrongInside += saved != PatternColour(118 + x, 128 + y, salt);
        }
      }
      EXPECT_EQ(wrongFrame, 0) << "pixels of the outer ring that are not black";
      EXPECT_EQ(wrongInside, 0) << "inner pixels that differ from back-buffer columns 119..622, rows 129..462";
      // The drawable image holds the same picture, the frame included.
      EXPECT_EQ(image.MemoryDc().GetPixel(0, 100), 0u);
      EXPECT_EQ(image.MemoryDc().GetPixel(1, 1), PatternColour(119, 129, salt));
      EXPECT_EQ(image.MemoryDc().GetPixel(504, 334), PatternColour(622, 462, salt));
    }

    std::filesystem::path previous;
    std::filesystem::path folder;
  };
}

TEST_F(PictureCaptureTest, SavesTheFramedModelAreaAndASecondCaptureOverwritesIt)
{
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  FillBackBuffer(device, 0);
  CaptureAndCheck(device, 0);

  FillBackBuffer(device, 0x5A3C96);
  CaptureAndCheck(device, 0x5A3C96);
}

TEST_F(PictureCaptureTest, RefusesABackBufferTooSmallForTheModelAreaAndAnImageNotCreated)
{
  GraphicsDevice small;
  ASSERT_TRUE(small.CreateHeadless(600, 470));
  DibImage image;
  ASSERT_TRUE(image.CreateDib(506, 336, 24));
  PicturePrinter printer("data/pict.bmp");
  EXPECT_FALSE(printer.Capture(small, image));

  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  DibImage empty;
  EXPECT_FALSE(printer.Capture(device, empty));

  GraphicsDevice released;
  EXPECT_FALSE(printer.Capture(released, image));
  EXPECT_FALSE(std::filesystem::exists("data/pict.bmp"));
}

TEST_F(PictureCaptureTest, ACaptureThatCannotBeSavedStillSucceeds)
{
  std::filesystem::remove("data");
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  FillBackBuffer(device, 0);
  DibImage image;
  ASSERT_TRUE(image.CreateDib(506, 336, 24));
  PicturePrinter printer("data/pict.bmp");
  EXPECT_TRUE(printer.Capture(device, image));
  EXPECT_EQ(image.MemoryDc().GetPixel(200, 100), PatternColour(318, 228, 0));
}

TEST_F(PictureCaptureTest, PrintWithNoPrintServerCapturesThenFailsAtOnce)
{
  // A socket that nobody listens on: the print server is "not running".
  const char *previousServer = std::getenv("CUPS_SERVER");
  const std::string restore = previousServer ? previousServer : "";
  const std::string server = (folder / "no-server.sock").string();
  setenv("CUPS_SERVER", server.c_str(), 1);
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  FillBackBuffer(device, 0);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(PicturePrinter("data/pict.bmp").Print(device));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(2));
  if(previousServer)
    setenv("CUPS_SERVER", restore.c_str(), 1);
  else
    unsetenv("CUPS_SERVER");
  // The picture is saved before the printer is looked for.
  EXPECT_EQ(std::filesystem::file_size("data/pict.bmp"), 510774u);
}

TEST(PicturePlacement, WorkedExampleAndTruncation)
{
  // 5060 x 3360 dots: scale 9, a picture of 4554 x 3024 at (126, 168).
  EXPECT_EQ(PicturePrinter::PlacePicture(5060, 3360), (PixelRect{126, 168, 126 + 4554, 168 + 3024}));
  // One more dot each way: scale 0.9 x 5061 / 506 = 9.0018; 506 x that is
  // 4554.9 and 336 x that 3024.6, both cut to whole dots; the offsets
  // 507 / 4 and 337 / 2 are cut as well.
  EXPECT_EQ(PicturePrinter::PlacePicture(5061, 3361), (PixelRect{126, 168, 126 + 4554, 168 + 3024}));
}

TEST(PicturePlacement, WidthLimitedPageLeavesAQuarterOfTheFreeWidthOnTheLeft)
{
  // 2530 / 506 = 5 < 3508 / 336: scale 4.5, picture 2277 x 1512.
  const PixelRect place = PicturePrinter::PlacePicture(2530, 3508);
  EXPECT_EQ(place, (PixelRect{63, 998, 63 + 2277, 998 + 1512}));
  // Free width 253: 63 on the left, the rest (three quarters and the odd dot) on the right.
  EXPECT_EQ(2530 - place.right, 190);

  // A4 at 300 dpi: 90 % of the width within a dot, margins in the ratio 1 : 3.
  const PixelRect a4 = PicturePrinter::PlacePicture(2480, 3507);
  EXPECT_NEAR(a4.Width(), 0.9 * 2480, 1.0);
  EXPECT_NEAR(a4.Height(), a4.Width() * 336.0 / 506.0, 1.0);
  EXPECT_EQ(a4.left, (2480 - a4.Width()) / 4);
  EXPECT_NEAR(2480 - a4.right, 3 * a4.left, 3);
  EXPECT_EQ(a4.top, (3507 - a4.Height()) / 2);
}

TEST(PicturePlacement, HeightLimitedPageIsCentredVertically)
{
  // 1680 / 336 = 5 < 4000 / 506: scale 4.5, picture 2277 x 1512.
  const PixelRect place = PicturePrinter::PlacePicture(4000, 1680);
  EXPECT_EQ(place, (PixelRect{430, 84, 430 + 2277, 84 + 1512}));
  EXPECT_EQ(1680 - place.bottom, place.top);
}

TEST(PrintPageGeometry, PrintableAreaInWholeDotsAtTheReportedOrDefaultResolution)
{
  // A4, no margins, resolution not reported: 300 dpi, 2480.3 x 3507.9 dots.
  const PrintPage a4 = PrintService::MakePage(21000, 29700, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(a4.xDpi, 300);
  EXPECT_EQ(a4.yDpi, 300);
  EXPECT_EQ(a4.HorzDots(), 2480);
  EXPECT_EQ(a4.VertDots(), 3507);

  // The same sheet with 6.35 mm side and 12.7 mm top and bottom margins at 600 dpi.
  const PrintPage margins = PrintService::MakePage(20990, 29704, 635, 635, 1270, 1270, 600, 600);
  EXPECT_EQ(margins.HorzDots(), 4658);
  EXPECT_EQ(margins.VertDots(), 6416);

  // Margins that leave nothing: no printable dots, not a negative count.
  const PrintPage none = PrintService::MakePage(10000, 10000, 6000, 6000, 0, 0, 300, 300);
  EXPECT_EQ(none.HorzDots(), 0);

  // A damaged answer: an absurd resolution is not believed (the dot count
  // would not fit an int), negative margins do not widen the sheet.
  const PrintPage damaged = PrintService::MakePage(21000, 29700, -500, -500, 0, 0, 2147483647, -600);
  EXPECT_EQ(damaged.xDpi, 300);
  EXPECT_EQ(damaged.yDpi, 300);
  EXPECT_EQ(damaged.HorzDots(), 2480);
  EXPECT_EQ(damaged.VertDots(), 3507);
}

TEST(PrintPageGeometry, DotsMapToPointsFromThePrintableAreasCorner)
{
  // Left margin 635 = 18 pt, top margin 1270 = 36 pt; a dot at 600 dpi is 0.12 pt.
  const PrintPage page = PrintService::MakePage(20990, 29704, 635, 635, 1270, 1270, 600, 600);
  const PageRect place = PrintService::DotsToPoints(page, PixelRect{116, 1816, 116 + 4192, 1816 + 2783});
  EXPECT_NEAR(place.x, 18 + 13.92, 1e-9);
  EXPECT_NEAR(place.y, 36 + 217.92, 1e-9);
  EXPECT_NEAR(place.width, 503.04, 1e-9);
  EXPECT_NEAR(place.height, 333.96, 1e-9);

  // Across and down can differ: 300 x 600 dpi, no margins.
  const PrintPage uneven = PrintService::MakePage(21000, 29700, 0, 0, 0, 0, 300, 600);
  const PageRect spot = PrintService::DotsToPoints(uneven, PixelRect{300, 600, 600, 1200});
  EXPECT_NEAR(spot.x, 72.0, 1e-9);
  EXPECT_NEAR(spot.y, 72.0, 1e-9);
  EXPECT_NEAR(spot.width, 72.0, 1e-9);
  EXPECT_NEAR(spot.height, 72.0, 1e-9);
}
