// The committed pictures and sounds in data/: every file the program loads is
// there, loads with the program's own readers, has its designed size, fits
// where it is drawn, and the cursors and sounds keep the rules the program's
// drawing and playing rely on.
#include "gfx/DrawingContext.h"
#include "gfx/GraphicsDevice.h"
#include "res/DibImage.h"
#include "res/Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {
  const char *const ColourWords[9] = {"red", "green", "blue", "cyan", "magenta", "yellow", "white", "gray", "black"};
  const int PenX[9] = {128, 184, 240, 298, 352, 408, 464, 518, 578};
  const int CubeX[9] = {112, 168, 224, 282, 336, 392, 448, 502, 562};

  std::string DataPath(const std::string &name)
  {
    return std::string(VEXTORN_SOURCE_DIR) + "/data/" + name;
  }

  struct Size
  {
    int width;
    int height;
  };

  // Every picture the program loads, with the size it is designed for.
  std::map<std::string, Size> Inventory()
  {
    std::map<std::string, Size> pictures = {
      {"title.bmp", {512, 512}},      {"start_on.bmp", {232, 128}}, {"start_off.bmp", {232, 128}},
      {"end_on.bmp", {232, 128}},     {"end_off.bmp", {232, 128}},  {"cursor_default.png", {32, 32}},
      {"background.bmp", {640, 480}}, {"hand.png", {88, 88}},       {"peke.png", {88, 88}},
      {"printer.png", {88, 88}},      {"exit.png", {88, 88}},       {"undo.png", {88, 48}},
      {"redo.png", {88, 48}},
    };
    for(int i = 0; i < 10; ++i)
      pictures["selected" + std::to_string(i) + ".png"] = {256, 128};
    for(const std::string name : {"delete", "hand"})
    {
      pictures["cursor_" + name + ".bmp"] = {64, 64};
      pictures["cursor_" + name + "_mask.bmp"] = {64, 64};
      pictures["cursor_" + name + ".png"] = {64, 64};
    }
    pictures["cursor_pen_mask.bmp"] = {64, 64};
    pictures["cursor_cube_mask.bmp"] = {64, 64};
    for(const char *word : ColourWords)
    {
      const std::string w = word;
      pictures["pen_" + w + ".png"] = {40, 48};
      pictures["cube_" + w + ".png"] = {56, 48};
      for(const std::string family : {"pen", "cube"})
      {
        pictures["cursor_" + family + "_" + w + ".bmp"] = {64, 64};
        pictures["cursor_" + family + "_" + w + ".png"] = {64, 64};
      }
    }
    return pictures;
  }

  // A picture's texels (0xAARRGGBB, row 0 at the top) as the program loads it.
  struct Texels
  {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
  };

  class ArtInventory : public ::testing::Test
  {
  protected:
    void SetUp() override { ASSERT_TRUE(device.CreateHeadless()); }

    // Loads through Texture::LoadFromFile and reads the texels back.
    bool Load(const std::string &name, Texels &out)
    {
      Texture texture;
      if(!texture.LoadFromFile(device, DataPath(name)) || texture.Get() == nullptr)
        return false;
      out.width = texture.Get()->Width();
      out.height = texture.Get()->Height();
      out.argb.assign(static_cast<size_t>(out.width) * out.height, 0);
      return texture.Get()->Read(out.argb.data());
    }

    GraphicsDevice device;
  };

  // A cursor bitmap read with DibImage::LoadBmp, as the program reads it, and
  // its pixels as 0x00RRGGBB, row 0 at the top.
  struct CursorBitmap
  {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;

    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
  };

  bool LoadCursorBitmap(const std::string &name, CursorBitmap &out)
  {
    DibImage dib;
    if(!dib.LoadBmp(DataPath(name)))
      return false;
    ArgbImage image;
    if(!dib.Decode(image))
      return false;
    out.width = image.width;
    out.height = image.height;
    out.rgb = std::move(image.pixels);
    return true;
  }

  struct Rect
  {
    int left;
    int top;
    int right; // exclusive
    int bottom; // exclusive

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  };

  struct Icon
  {
    std::string name;
    Rect slot;
    Rect hit; // exclusive bounds
  };

  // The 22 tool icons and the undo and redo buttons at their screen
  // positions, with their hit rectangles.
  std::vector<Icon> Icons()
  {
    std::vector<Icon> icons = {
      {"hand.png", {8, 120, 96, 208}, {16, 120, 89, 201}},
      {"peke.png", {8, 208, 96, 296}, {16, 208, 89, 289}},
      {"printer.png", {8, 296, 96, 384}, {16, 296, 89, 377}},
      {"exit.png", {8, 384, 96, 472}, {16, 384, 89, 465}},
      {"undo.png", {8, 16, 96, 64}, {8, 16, 96, 64}},
      {"redo.png", {8, 64, 96, 112}, {8, 64, 96, 112}},
    };
    for(int i = 0; i < 9; ++i)
    {
      const std::string w = ColourWords[i];
      icons.push_back({"pen_" + w + ".png", {PenX[i], 16, PenX[i] + 40, 64}, {PenX[i] - 8, 16, PenX[i] + 49, 65}});
      icons.push_back({"cube_" + w + ".png", {CubeX[i], 64, CubeX[i] + 56, 112}, {CubeX[i] + 8, 64, CubeX[i] + 49, 113}});
    }
    return icons;
  }

  struct Wave
  {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    int format = 0;
    std::vector<int16_t> samples;
  };

  uint32_t Little(const std::vector<uint8_t> &bytes, size_t at, int count)
  {
    uint32_t value = 0;
    for(int i = count - 1; i >= 0; --i)
      value = (value << 8) | bytes[at + i];
    return value;
  }

  // Parses a RIFF WAVE file chunk by chunk; false when it is not one or is cut short.
  bool ReadWave(const std::string &path, Wave &wave)
  {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if(bytes.size() < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
       std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE" || Little(bytes, 4, 4) + 8 != bytes.size())
      return false;
    bool haveFormat = false;
    bool haveData = false;
    size_t at = 12;
    while(at + 8 <= bytes.size())
    {
      const std::string tag(bytes.begin() + at, bytes.begin() + at + 4);
      const size_t size = Little(bytes, at + 4, 4);
      if(at + 8 + size > bytes.size())
        return false;
      if(tag == "fmt " && size >= 16)
      {
        wave.format = static_cast<int>(Little(bytes, at + 8, 2));
        wave.channels = static_cast<int>(Little(bytes, at + 10, 2));
        wave.sampleRate = static_cast<int>(Little(bytes, at + 12, 4));
        wave.bitsPerSample = static_cast<int>(Little(bytes, at + 22, 2));
        haveFormat = true;
      }
      else if(tag == "data")
      {
        for(size_t i = 0; i + 1 < size; i += 2)
          wave.samples.push_back(static_cast<int16_t>(Little(bytes, at + 8 + i, 2)));
        haveData = true;
      }
      at += 8 + size + (size & 1);
    }
    return haveFormat && haveData;
  }
}

TEST_F(ArtInventory, EveryPictureLoadsWithItsDesignedSize)
{
  const std::map<std::string, Size> pictures = Inventory();
  ASSERT_EQ(pictures.size(), 85u);
  for(const auto &[name, size] : pictures)
  {
    Texels texels;
    ASSERT_TRUE(Load(name, texels)) << name;
    EXPECT_EQ(texels.width, size.width) << name;
    EXPECT_EQ(texels.height, size.height) << name;
  }
  // The cursor bitmaps also load as bitmaps, the way the cursors are drawn.
  for(const auto &[name, size] : pictures)
  {
    if(name.rfind("cursor_", 0) != 0 || name.size() < 4 || name.substr(name.size() - 4) != ".bmp")
      continue;
    CursorBitmap bitmap;
    ASSERT_TRUE(LoadCursorBitmap(name, bitmap)) << name;
    EXPECT_EQ(bitmap.width, size.width) << name;
    EXPECT_EQ(bitmap.height, size.height) << name;
  }
}

TEST_F(ArtInventory, IconsStayInTheirSlotsAndOutOfTheModelArea)
{
  const std::vector<Icon> icons = Icons();
  const Rect modelArea = {118, 128, 624, 464};
  for(const Icon &icon : icons)
  {
    Texels texels;
    ASSERT_TRUE(Load(icon.name, texels)) << icon.name;
    ASSERT_EQ(texels.width, icon.slot.right - icon.slot.left) << icon.name;
    long drawn = 0;
    long sumX = 0;
    long sumY = 0;
    for(int y = 0; y < texels.height; ++y)
      for(int x = 0; x < texels.width; ++x)
      {
        if(texels.Alpha(x, y) == 0)
          continue;
        const int sx = icon.slot.left + x;
        const int sy = icon.slot.top + y;
        ++drawn;
        sumX += sx;
        sumY += sy;
        ASSERT_FALSE(modelArea.Contains(sx, sy)) << icon.name << " draws into the model area at " << sx << "," << sy;
        for(const Icon &other : icons)
        {
          if(&other != &icon)
          {
            ASSERT_FALSE(other.slot.Contains(sx, sy))
              << icon.name << " reaches into " << other.name << "'s slot at " << sx << "," << sy;
          }
        }
      }
    // Something is drawn, and it sits over the button's hit rectangle.
    ASSERT_GT(drawn, texels.width * texels.height / 8) << icon.name;
    EXPECT_TRUE(icon.hit.Contains(static_cast<int>(sumX / drawn), static_cast<int>(sumY / drawn))) << icon.name;
  }
}

TEST_F(ArtInventory, WhiteAndGrayItemsKeepADarkOutline)
{
  // On the light background a white or gray icon shows only through its outline.
  for(const std::string name : {"pen_white.png", "pen_gray.png", "cube_white.png", "cube_gray.png"})
  {
    Texels texels;
    ASSERT_TRUE(Load(name, texels)) << name;
    long dark = 0;
    for(uint32_t p : texels.argb)
    {
      const int luma = (((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000;
      if((p >> 24) > 200 && luma < 80)
        ++dark;
    }
    EXPECT_GT(dark, 60) << name;
  }
}

TEST_F(ArtInventory, BackgroundLeavesTheModelAreaWhite)
{
  Texels background;
  ASSERT_TRUE(Load("background.bmp", background));
  for(int y = 128; y < 464; y += 7)
    for(int x = 118; x < 624; x += 7)
      ASSERT_EQ(background.At(x, y), 0xFFFFFFFFu) << x << "," << y;
}

TEST_F(ArtInventory, TitleButtonsMatchTheTitleOutsideTheirFacesAndCoverTheirHitRectangles)
{
  Texels title;
  ASSERT_TRUE(Load("title.bmp", title));
  struct Button
  {
    std::string name;
    int x;
    int y;
    Rect hit; // inside the picture, exclusive bounds
  };
  const Button buttons[] = {
    {"start_on.bmp", 68, 311, {77, 41, 213, 87}}, {"start_off.bmp", 68, 311, {77, 41, 213, 87}},
    {"end_on.bmp", 302, 311, {58, 41, 194, 87}},  {"end_off.bmp", 302, 311, {58, 41, 194, 87}},
  };
  for(const Button &b : buttons)
  {
    Texels picture;
    ASSERT_TRUE(Load(b.name, picture)) << b.name;
    // The hit rectangle in screen terms is the one the title screen tests.
    EXPECT_EQ(b.x + b.hit.left, b.name[0] == 's' ? 145 : 360);
    EXPECT_EQ(b.y + b.hit.top, 352);
    const Rect face = {b.hit.left - 12, b.hit.top - 12, b.hit.right + 12, b.hit.bottom + 12};
    long sameInsideHit = 0;
    for(int y = 0; y < picture.height; ++y)
      for(int x = 0; x < picture.width; ++x)
      {
        const uint32_t behind = title.At(b.x - 64 + x, b.y + y);
        if(!face.Contains(x, y))
        {
          ASSERT_EQ(picture.At(x, y), behind) << b.name << " differs from the title at " << x << "," << y;
        }
        else if(b.hit.Contains(x, y) && picture.At(x, y) == behind)
          ++sameInsideHit;
      }
    // The face is drawn over the whole hit rectangle.
    EXPECT_LT(sameInsideHit, 20) << b.name;
  }
  // On and off pictures are distinct variants; start and end do not overlap.
  Texels on;
  Texels off;
  ASSERT_TRUE(Load("start_on.bmp", on));
  ASSERT_TRUE(Load("start_off.bmp", off));
  EXPECT_NE(on.argb, off.argb);
  EXPECT_LE(68 + on.width, 302);
  EXPECT_LE(311 + on.height, 440);
}

TEST_F(ArtInventory, SelectionMarkBuildsUpAroundEitherButtonAndLeavesTheFaceVisible)
{
  long previous = -1;
  long first = 0;
  for(int f = 0; f < 10; ++f)
  {
    const std::string name = "selected" + std::to_string(f) + ".png";
    Texels frame;
    ASSERT_TRUE(Load(name, frame)) << name;
    long drawn = 0;
    for(int y = 0; y < frame.height; ++y)
      for(int x = 0; x < frame.width; ++x)
      {
        if(frame.Alpha(x, y) == 0)
          continue;
        ++drawn;
        // The faces of both buttons (start 65..200, end 80..215, rows 40..85)
        // stay clear so the chosen button shows through.
        ASSERT_FALSE(x >= 65 && x <= 215 && y >= 40 && y <= 85) << name << " covers the face at " << x << "," << y;
      }
    EXPECT_GE(drawn, previous) << name << " has less of the mark than the frame before";
    if(f == 0)
      first = drawn;
    previous = drawn;
  }
  EXPECT_GT(first, 0);
  EXPECT_GT(previous, first * 3);
}

TEST_F(ArtInventory, TitlePointerTipIsItsTopLeftPixel)
{
  Texels pointer;
  ASSERT_TRUE(Load("cursor_default.png", pointer));
  EXPECT_GT(pointer.Alpha(1, 1), 128);
  EXPECT_EQ(pointer.Alpha(pointer.width - 1, 0), 0);
}

TEST(ArtCursors, ColourIsBlackOutsideTheMaskAndTheHotSpotIsOnTheCursor)
{
  struct Cursor
  {
    std::string colour;
    std::string mask;
    int hotX;
    int hotY;
  };
  std::vector<Cursor> cursors = {
    {"cursor_delete.bmp", "cursor_delete_mask.bmp", 1, 1},
    {"cursor_hand.bmp", "cursor_hand_mask.bmp", 26, 26},
  };
  for(const char *word : ColourWords)
  {
    cursors.push_back({std::string("cursor_pen_") + word + ".bmp", "cursor_pen_mask.bmp", 1, 60});
    cursors.push_back({std::string("cursor_cube_") + word + ".bmp", "cursor_cube_mask.bmp", 1, 1});
  }
  for(const Cursor &c : cursors)
  {
    CursorBitmap colour;
    CursorBitmap mask;
    ASSERT_TRUE(LoadCursorBitmap(c.colour, colour)) << c.colour;
    ASSERT_TRUE(LoadCursorBitmap(c.mask, mask)) << c.mask;
    ASSERT_EQ(colour.width, mask.width) << c.colour;
    ASSERT_EQ(colour.height, mask.height) << c.colour;
    long under = 0;
    for(int y = 0; y < mask.height; ++y)
      for(int x = 0; x < mask.width; ++x)
      {
        const uint32_t m = mask.At(x, y);
        // A mask of only black and white keeps the AND clean.
        ASSERT_TRUE(m == 0 || m == 0xFFFFFF) << c.mask << " at " << x << "," << y;
        if(m == 0xFFFFFF)
        {
          ASSERT_EQ(colour.At(x, y), 0u) << c.colour << " shows where the screen should at " << x << "," << y;
        }
        else
        {
          ++under;
        }
      }
    EXPECT_GT(under, 150) << c.mask;
    EXPECT_EQ(mask.At(c.hotX, c.hotY), 0u) << c.mask << ": the hot spot is not under the cursor";
  }
}

TEST(ArtCursors, DrawnCursorShowsAtTheMouseOverAnyBackground)
{
  // Composite the red pen's cursor as the creation screen does (AND the mask,
  // then OR the colour) with its hot spot at (100, 100), on white and on black.
  CursorBitmap probe;
  ASSERT_TRUE(LoadCursorBitmap("cursor_pen_red.bmp", probe));
  for(uint32_t ground : {0xFFFFFFu, 0x000000u})
  {
    std::vector<uint32_t> screen(200 * 200, ground);
    PixelView view;
    view.bits = reinterpret_cast<uint8_t *>(screen.data());
    view.width = 200;
    view.height = 200;
    view.pitch = 200 * 4;
    view.format = PixelFormat::Xrgb32;
    DrawingContext dc(view);
    DibImage mask;
    DibImage colour;
    ASSERT_TRUE(mask.LoadBmp(DataPath("cursor_pen_mask.bmp")));
    ASSERT_TRUE(colour.LoadBmp(DataPath("cursor_pen_red.bmp")));
    dc.DrawBitmap(100 - 1, 100 - 60, mask.Bits(), RasterOperation::And);
    dc.DrawBitmap(100 - 1, 100 - 60, colour.Bits(), RasterOperation::Or);
    long changed = 0;
    for(uint32_t p : screen)
      if((p & 0xFFFFFF) != ground)
        ++changed;
    EXPECT_GT(changed, 200) << std::hex << ground;
    // Far from the cursor the screen is untouched.
    EXPECT_EQ(screen[5 * 200 + 5] & 0xFFFFFF, ground);
    EXPECT_EQ(screen[195 * 200 + 195] & 0xFFFFFF, ground);
  }
}

TEST(ArtSounds, EverySoundIsCleanPcmOfItsLength)
{
  struct Expect
  {
    std::string name;
    double minSeconds;
    double maxSeconds;
    double maxPeakDb;
  };
  const Expect sounds[] = {
    {"select.wav", 0.02, 0.08, -10.0}, // very short and soft: it plays on every hover
    {"selected.wav", 0.05, 0.25, -1.0}, {"put.wav", 0.05, 0.25, -1.0},  {"del.wav", 0.1, 0.4, -1.0},
    {"door.wav", 0.8, 1.25, -1.0},      {"print.wav", 0.8, 1.25, -1.0}, {"start.wav", 0.8, 1.25, -1.0},
    {"end.wav", 1.6, 2.4, -1.0},        {"draw.wav", 0.1, 0.8, -1.0},
    // Soft and short: a child may press them many times in a row.
    {"undo.wav", 0.1, 0.25, -6.0},      {"redo.wav", 0.1, 0.25, -6.0},
  };
  std::vector<std::vector<int16_t>> all;
  for(const Expect &e : sounds)
  {
    Wave wave;
    ASSERT_TRUE(ReadWave(DataPath(e.name), wave)) << e.name;
    EXPECT_EQ(wave.format, 1) << e.name << " is not PCM";
    EXPECT_EQ(wave.channels, 1) << e.name;
    EXPECT_EQ(wave.bitsPerSample, 16) << e.name;
    EXPECT_TRUE(wave.sampleRate == 22050 || wave.sampleRate == 44100) << e.name;
    ASSERT_GT(wave.sampleRate, 0);
    const double seconds = static_cast<double>(wave.samples.size()) / wave.sampleRate;
    EXPECT_GE(seconds, e.minSeconds) << e.name;
    EXPECT_LE(seconds, e.maxSeconds) << e.name;

    int peak = 0;
    double energy = 0.0;
    for(int16_t s : wave.samples)
    {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
      energy += static_cast<double>(s) * s;
    }
    const double rms = std::sqrt(energy / std::max<size_t>(1, wave.samples.size()));
    EXPECT_LE(peak, static_cast<int>(32767 * std::pow(10.0, e.maxPeakDb / 20.0))) << e.name << " is too loud";
    EXPECT_GT(rms, 200.0) << e.name << " is (nearly) silent";

    // No click at the start: it begins at silence and rises over a few milliseconds.
    ASSERT_FALSE(wave.samples.empty());
    EXPECT_LE(std::abs(static_cast<int>(wave.samples[0])), 64) << e.name;
    int earlyPeak = 0;
    for(int i = 0; i < wave.sampleRate / 1000 && i < static_cast<int>(wave.samples.size()); ++i)
      earlyPeak = std::max(earlyPeak, std::abs(static_cast<int>(wave.samples[i])));
    EXPECT_LE(earlyPeak, peak / 3) << e.name << " starts with a jump";
    all.push_back(wave.samples);
  }
  for(size_t i = 0; i < all.size(); ++i)
    for(size_t j = i + 1; j < all.size(); ++j)
      EXPECT_NE(all[i], all[j]) << sounds[i].name << " and " << sounds[j].name << " are the same sound";
}
