#include "res/Texture.h"

#include "gfx/GraphicsDevice.h"

#include "ImageFiles.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
  class TextureTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(device.CreateHeadless()); }

    static std::vector<uint32_t> Texels(const Texture &texture)
    {
      const DeviceTexture *t = texture.Get();
      if(!t)
        return {};
      std::vector<uint32_t> texels(static_cast<size_t>(t->Width()) * t->Height());
      EXPECT_TRUE(t->Read(texels.data()));
      return texels;
    }

    // Writes a colour into pixel (x, y) of the texture's byte image.
    static void Paint(Texture &texture, int x, int y, RgbColour colour)
    {
      uint8_t *p = texture.Backing()->Data() + (static_cast<size_t>(y) * texture.Backing()->Width() + x) * 3;
      p[0] = colour.red;
      p[1] = colour.green;
      p[2] = colour.blue;
    }

    // Paints every pixel of the byte image, then checks which texels an upload changed.
    void ExpectUploadCovers(int x, int y, int w, int h, int left, int top, int right, int bottom)
    {
      SCOPED_TRACE(testing::Message() << "Upload(" << x << ", " << y << ", " << w << ", " << h << ")");
      Texture texture;
      ASSERT_TRUE(texture.CreateFilled(device, 8, 6, RgbColour{0, 0, 0}));
      for(int py = 0; py < 6; ++py)
        for(int px = 0; px < 8; ++px)
          Paint(texture, px, py, RgbColour{0x11, 0x22, 0x33});
      EXPECT_TRUE(texture.Upload(device, x, y, w, h));
      const std::vector<uint32_t> texels = Texels(texture);
      for(int py = 0; py < 6; ++py)
        for(int px = 0; px < 8; ++px)
        {
          const bool inside = px >= left && px < right && py >= top && py < bottom;
          EXPECT_EQ(texels[static_cast<size_t>(py) * 8 + px], inside ? 0xFF112233u : 0xFF000000u)
            << "texel " << px << "," << py;
        }
    }

    GraphicsDevice device;
    TempFolder folder;
  };
}

TEST_F(TextureTest, CreateFilledRedGivesEveryTexelOpaqueRed)
{
  Texture texture;
  ASSERT_TRUE(texture.CreateFilled(device, 64, 64, RgbColour{255, 0, 0}));
  EXPECT_EQ(texture.TextureWidth(), 64);
  EXPECT_EQ(texture.TextureHeight(), 64);
  ASSERT_NE(texture.Get(), nullptr);
  EXPECT_EQ(texture.Get()->Width(), 64);
  EXPECT_EQ(Texels(texture), std::vector<uint32_t>(64 * 64, 0xFFFF0000));
  ASSERT_NE(texture.Backing(), nullptr);
  for(int i = 0; i < 64 * 64; ++i)
    ASSERT_EQ(texture.Backing()->Data()[i * 3], 255);
  EXPECT_EQ(texture.Backing()->lastIndex, (64 * 64 - 1) * 3);

  Texture white;
  ASSERT_TRUE(white.CreateWhite(device, 3, 5));
  EXPECT_EQ(Texels(white), std::vector<uint32_t>(15, 0xFFFFFFFF));
}

TEST_F(TextureTest, UploadPutsByteZeroInRedAndTouchesOnlyTheRectangle)
{
  Texture texture;
  ASSERT_TRUE(texture.CreateFilled(device, 4, 4, RgbColour{0, 0, 0}));
  Paint(texture, 2, 1, RgbColour{0x12, 0x34, 0x56});
  Paint(texture, 3, 3, RgbColour{0xFF, 0xFF, 0xFF});
  ASSERT_TRUE(texture.Upload(device, 2, 1, 1, 1));
  std::vector<uint32_t> expected(16, 0xFF000000);
  expected[1 * 4 + 2] = 0xFF123456;
  EXPECT_EQ(Texels(texture), expected);
}

TEST_F(TextureTest, UploadClampsBothCornersToTheTexture)
{
  // Negative start: begins at 0; the end is x + w and y + h.
  ExpectUploadCovers(-3, -2, 5, 4, 0, 0, 2, 2);
  // A start beyond the texture copies nothing.
  ExpectUploadCovers(9, 0, 4, 6, 0, 0, 0, 0);
  ExpectUploadCovers(0, 7, 8, 2, 0, 0, 0, 0);
  // A far corner past the edge is pulled back to it.
  ExpectUploadCovers(6, 4, 10, 10, 6, 4, 8, 6);
  // Sizes that would overflow when added to the start.
  ExpectUploadCovers(1, 2, INT_MAX, INT_MAX, 1, 2, 8, 6);
  ExpectUploadCovers(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0);
  // Negative sizes copy nothing.
  ExpectUploadCovers(4, 4, -2, -2, 0, 0, 0, 0);
  // A large rectangle goes through the heap buffer.
  ExpectUploadCovers(0, 0, 8, 6, 0, 0, 8, 6);
}

TEST_F(TextureTest, UploadStaysInsideTheByteImageWhenTheOwnerEnlargesThePictureSize)
{
  Texture texture;
  ASSERT_TRUE(texture.CreateFilled(device, 4, 4, RgbColour{1, 2, 3}));
  texture.SetTextureSize(100, 100);
  EXPECT_TRUE(texture.Upload(device, 0, 0, 100, 100));
  EXPECT_EQ(Texels(texture), std::vector<uint32_t>(16, 0xFF010203));

  Texture empty;
  EXPECT_FALSE(empty.Upload(device, 0, 0, 1, 1));
}

TEST_F(TextureTest, LoadsAPngWithItsAlphaAtItsOwnSize)
{
  // 3 x 1 RGBA: not a power of two wide.
  const Bytes rows = {0, 0xFF, 0, 0, 0x20, 0, 0xFF, 0, 0xFF, 1, 2, 3, 0};
  WriteFile(folder.File("icon.png"), PngBytes::Make(3, 1, 8, 6, rows));
  Texture texture;
  ASSERT_TRUE(texture.LoadFromFile(device, folder.File("icon.png")));
  ASSERT_NE(texture.Get(), nullptr);
  EXPECT_EQ(texture.Get()->Width(), 3);
  EXPECT_EQ(texture.Get()->Height(), 1);
  EXPECT_EQ(Texels(texture), (std::vector<uint32_t>{0x20FF0000, 0xFF00FF00, 0x00010203}));
  EXPECT_EQ(texture.FileName(), folder.File("icon.png"));
  EXPECT_EQ(texture.Backing(), nullptr);
}

TEST_F(TextureTest, LoadsBottomUpAndTopDownBmpsOpaqueAndTheRightWayUp)
{
  // 3 x 2, 24 bits, bottom row first, rows padded to 12 bytes.
  const Bytes rows24 = {0xA1, 0xA2, 0xA3, 0xB1, 0xB2, 0xB3, 0xC1, 0xC2, 0xC3, 9, 9, 9,
                        0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 9, 9, 9};
  WriteFile(folder.File("up.bmp"), MakeBmp(3, 2, 24, rows24));
  Texture bottomUp;
  ASSERT_TRUE(bottomUp.LoadFromFile(device, folder.File("up.bmp")));
  EXPECT_EQ(bottomUp.Get()->Width(), 3);
  EXPECT_EQ(bottomUp.Get()->Height(), 2);
  EXPECT_EQ(Texels(bottomUp),
            (std::vector<uint32_t>{0xFF302010, 0xFF605040, 0xFF908070, 0xFFA3A2A1, 0xFFB3B2B1, 0xFFC3C2C1}));

  // 1 x 2, 32 bits, top row first; the unused byte is not alpha.
  WriteFile(folder.File("down.bmp"), MakeBmp(1, -2, 32, Bytes{1, 2, 3, 0, 4, 5, 6, 0x7F}));
  Texture topDown;
  ASSERT_TRUE(topDown.LoadFromFile(device, folder.File("down.bmp")));
  EXPECT_EQ(Texels(topDown), (std::vector<uint32_t>{0xFF030201, 0xFF060504}));
}

TEST_F(TextureTest, FailedLoadsSayWhyAndChangeNothing)
{
  WriteFile(folder.File("good.png"), PngBytes::Make(1, 1, 8, 6, Bytes{0, 1, 2, 3, 4}));
  Texture texture;
  ASSERT_TRUE(texture.LoadFromFile(device, folder.File("good.png")));
  const DeviceTexture *loaded = texture.Get();

  WriteFile(folder.File("text.png"), Bytes{'h', 'e', 'l', 'l', 'o'});
  WriteFile(folder.File("eight.bmp"), MakeBmp(1, 1, 8, Bytes(4, 0)));
  Bytes damaged = PngBytes::Make(2, 2, 8, 6, Bytes(18, 0));
  damaged.erase(damaged.end() - 25, damaged.end());
  WriteFile(folder.File("damaged.png"), damaged);

  for(const char *name : {"missing.png", "text.png", "eight.bmp", "damaged.png"})
  {
    SCOPED_TRACE(name);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(texture.LoadFromFile(device, folder.File(name)));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find(folder.File(name)), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_EQ(texture.Get(), loaded);
    EXPECT_EQ(texture.FileName(), folder.File("good.png"));
    EXPECT_EQ(Texels(texture), (std::vector<uint32_t>{0x04010203}));
  }
}

TEST_F(TextureTest, NamesOfUpTo259CharactersAreAcceptedAndLongerOnesRefused)
{
  // Build an existing file whose full name has exactly 259 characters, and
  // one of 260 characters.
  std::string base = folder.path.string() + "/";
  std::string folderName = base + std::string(100, 'd');
  std::filesystem::create_directories(folderName);
  const size_t fileChars = 259 - folderName.size() - 1;
  ASSERT_GT(fileChars, 4u);
  const std::string name259 = folderName + "/" + std::string(fileChars - 4, 'f') + ".png";
  const std::string name260 = folderName + "/" + std::string(fileChars - 3, 'f') + ".png";
  ASSERT_EQ(name259.size(), 259u);
  ASSERT_EQ(name260.size(), 260u);
  const Bytes png = PngBytes::Make(1, 1, 8, 6, Bytes{0, 1, 2, 3, 4});
  WriteFile(name259, png);
  WriteFile(name260, png);

  Texture texture;
  EXPECT_TRUE(texture.LoadFromFile(device, name259));
  Texture refused;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(refused.LoadFromFile(device, name260));
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("259"), std::string::npos) << message;
  EXPECT_EQ(refused.Get(), nullptr);
  EXPECT_TRUE(refused.FileName().empty());
}
