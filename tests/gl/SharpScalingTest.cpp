// What reaches the window when the 640 by 480 back buffer is presented at
// other sizes, read from the presents themselves (SDL's offscreen driver gives
// each window a drawable of the size it was opened at).

#include "GlDeviceSupport.h"
#include "gfx/GraphicsDevice.h"
#include "platform/Letterbox.h"
#include "platform/NativeWindow.h"
#include "platform/WindowSizing.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
  constexpr int Width = 640;
  constexpr int Height = 480;

  // A colour for every logical pixel, different from each of its neighbours.
  uint32_t PatternAt(int x, int y)
  {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    // Neighbours differ in red at least: x and y parities pick the top bit.
    return 0xFF000000u | (h & 0x7FFFFFu) | (static_cast<uint32_t>((x + y) & 1) << 23);
  }

  int Channel(uint32_t argb, int shift)
  {
    return static_cast<int>((argb >> shift) & 0xFF);
  }

  class SharpScaling : public ::testing::Test {
  protected:
    // Opens a desktop window of width by height with the device on it,
    // capturing presents, and fills the back buffer with the pattern.
    void Open(int windowWidth, int windowHeight)
    {
      Close();
      window = std::make_unique<NativeWindow>();
      device = std::make_unique<GraphicsDevice>();
      WindowSettings settings;
      settings.fullscreen = false;
      settings.width = windowWidth;
      settings.height = windowHeight;
      ASSERT_TRUE(window->Create("Vextorn", settings));
      auto made = GlBackend::Create(*window, Width, Height);
      ASSERT_NE(made, nullptr);
      backend = made.get();
      ASSERT_TRUE(device->CreateWithBackend(std::move(made)));
      ASSERT_TRUE(GlBackend::CapturePresents(*backend, true));
      ASSERT_EQ(window->DrawableWidth(), windowWidth);
      ASSERT_EQ(window->DrawableHeight(), windowHeight);

      DrawingContext *context = device->BackBuffer()->GetDC();
      ASSERT_NE(context, nullptr);
      const PixelView &view = context->Target();
      for(int y = 0; y < Height; ++y)
        for(int x = 0; x < Width; ++x)
          reinterpret_cast<uint32_t *>(view.Row(y))[x] = PatternAt(x, y);
      device->BackBuffer()->ReleaseDC(context);
      ASSERT_EQ(device->Present(), PresentResult::Ok);
      shown = GlBackend::CapturedWindow(*backend);
      enlarged = GlBackend::CapturedEnlarged(*backend);
      ASSERT_EQ(shown.width, windowWidth);
      ASSERT_EQ(shown.height, windowHeight);
    }

    void Close()
    {
      if(device)
        device->Release();
      if(window)
        window->Destroy();
      device.reset();
      window.reset();
      backend = nullptr;
    }

    void TearDown() override { Close(); }

    static uint32_t At(const ArgbImage &image, int x, int y)
    {
      return image.pixels[static_cast<size_t>(y) * image.width + x] | 0xFF000000u;
    }

    // Counts the blocks of factor by factor pixels of `image` (from its
    // corner x0, y0) that are not all the colour of their logical pixel.
    static int UnevenBlocks(const ArgbImage &image, int x0, int y0, int factor)
    {
      int uneven = 0;
      for(int ly = 0; ly < Height; ++ly)
        for(int lx = 0; lx < Width; ++lx)
        {
          bool even = true;
          for(int dy = 0; dy < factor && even; ++dy)
            for(int dx = 0; dx < factor && even; ++dx)
              even = At(image, x0 + lx * factor + dx, y0 + ly * factor + dy) == PatternAt(lx, ly);
          uneven += even ? 0 : 1;
        }
      return uneven;
    }

    // Where a linear filter samples the enlarged picture for picture pixel
    // `pixel` of `size` pixels: the first of the two texels and the weight of
    // the second (texels past the edge repeat the last one).
    static void Sample(int pixel, int size, int enlarged, int &first, double &weight)
    {
      const double u = (pixel + 0.5) * enlarged / size - 0.5;
      first = static_cast<int>(std::floor(u));
      weight = u - first;
    }

    // Checks every pixel of the window against a linear stretch of whole
    // factor by factor blocks into the letterbox, and the bars for black.
    // Pixels whose samples fall inside one block must be that logical
    // pixel's colour exactly, and the pointer mapping must name it.
    void ExpectSharpStretch(const Letterbox &box)
    {
      const int factor = box.factor;
      const int ew = box.EnlargedWidth();
      const int eh = box.EnlargedHeight();
      auto logical = [&](int texel, int limit) { return std::clamp(texel, 0, limit - 1) / factor; };
      int wrong = 0;
      int bars = 0;
      std::vector<bool> kept(static_cast<size_t>(Width) * Height, false);
      for(int y = 0; y < shown.height; ++y)
        for(int x = 0; x < shown.width; ++x)
        {
          const uint32_t got = At(shown, x, y);
          if(x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height)
          {
            bars += got == 0xFF000000u ? 0 : 1;
            continue;
          }
          int tx = 0;
          int ty = 0;
          double wx = 0.;
          double wy = 0.;
          Sample(x - box.x, box.width, ew, tx, wx);
          Sample(y - box.y, box.height, eh, ty, wy);
          const int lx0 = logical(tx, ew);
          const int lx1 = logical(tx + 1, ew);
          const int ly0 = logical(ty, eh);
          const int ly1 = logical(ty + 1, eh);
          if(lx0 == lx1 && ly0 == ly1)
          {
            kept[static_cast<size_t>(ly0) * Width + lx0] = true;
            int px = 0;
            int py = 0;
            box.PixelToLogical(x, y, px, py);
            if(got != PatternAt(lx0, ly0) || px != lx0 || py != ly0)
              ++wrong;
            continue;
          }
          for(int shift : {16, 8, 0})
          {
            const double top = Channel(PatternAt(lx0, ly0), shift) * (1. - wx) + Channel(PatternAt(lx1, ly0), shift) * wx;
            const double bottom =
              Channel(PatternAt(lx0, ly1), shift) * (1. - wx) + Channel(PatternAt(lx1, ly1), shift) * wx;
            const double expected = top * (1. - wy) + bottom * wy;
            if(std::abs(Channel(got, shift) - expected) > 3.)
            {
              ++wrong;
              break;
            }
          }
        }
      EXPECT_EQ(bars, 0) << "pixels of the bars are not black";
      EXPECT_EQ(wrong, 0) << "pixels are not a linear stretch of whole blocks";
      // From 2x on, every logical pixel keeps at least one pixel of its own colour.
      if(factor >= 2)
      {
        EXPECT_EQ(std::count(kept.begin(), kept.end(), false), 0);
      }
    }

    std::unique_ptr<NativeWindow> window;
    std::unique_ptr<GraphicsDevice> device;
    RenderBackend *backend = nullptr;
    ArgbImage shown;
    ArgbImage enlarged;
  };
}

TEST_F(SharpScaling, AtAWholeFactorOneNearestPassMakesEvenBlocks)
{
  // 1x: the window shows the back buffer as it is.
  Open(640, 480);
  EXPECT_EQ(UnevenBlocks(shown, 0, 0, 1), 0);
  EXPECT_EQ(enlarged.width, 0) << "no enlarged picture is needed at 1x";

  // 2x: every logical pixel is a 2 by 2 block of its own colour, drawn in one pass.
  Open(1280, 960);
  EXPECT_EQ(UnevenBlocks(shown, 0, 0, 2), 0);
  EXPECT_EQ(enlarged.width, 0) << "a whole factor needs no second pass";

  // 2x in a wider window: the same blocks between black bars.
  Open(1400, 960);
  EXPECT_EQ(UnevenBlocks(shown, 60, 0, 2), 0);
  EXPECT_EQ(enlarged.width, 0);
  int barPixels = 0;
  for(int y = 0; y < 960; ++y)
    for(int x : {0, 59, 1340, 1399})
      barPixels += At(shown, x, y) == 0xFF000000u ? 0 : 1;
  EXPECT_EQ(barPixels, 0);
}

TEST_F(SharpScaling, AtTwoAndAQuarterTheNearestStageIsWholeBlocksAndOnlyTheRestIsStretched)
{
  Open(1440, 1080);
  ASSERT_EQ(enlarged.width, 1280);
  ASSERT_EQ(enlarged.height, 960);
  EXPECT_EQ(UnevenBlocks(enlarged, 0, 0, 2), 0);
  ExpectSharpStretch(Letterbox::Fit(1440, 1080, Width, Height));
}

TEST_F(SharpScaling, AnOddWindowGetsBarsAndASharpStretch)
{
  // 2x fits; the letterbox is 1333 by 1000 between bars of 83 and 84.
  Open(1500, 1000);
  const Letterbox box = Letterbox::Fit(1500, 1000, Width, Height);
  ASSERT_EQ(box.x, 83);
  ASSERT_EQ(enlarged.width, 1280);
  EXPECT_EQ(UnevenBlocks(enlarged, 0, 0, 2), 0);
  ExpectSharpStretch(box);

  // Below 2x the back buffer itself is stretched, with no extra pass.
  Open(1001, 757);
  EXPECT_EQ(enlarged.width, 0);
  ExpectSharpStretch(Letterbox::Fit(1001, 757, Width, Height));
}

TEST(WindowModes, SwitchingKeepsTheContextTexturesAndPictureAndPlacesTheWindow)
{
  NativeWindow window;
  ASSERT_TRUE(window.Create("Vextorn"));
  EXPECT_TRUE(window.IsFullscreen());
  GraphicsDevice device;
  ASSERT_TRUE(CreateGlDevice(device, window));
  SDL_GLContext context = SDL_GL_GetCurrentContext();
  ASSERT_NE(context, nullptr);
  SDL_Rect desktop{};
  ASSERT_EQ(SDL_GetDisplayBounds(0, &desktop), 0);

  const uint32_t texels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
  std::unique_ptr<DeviceTexture> texture = device.CreateTexture(2, 2, texels);
  ASSERT_NE(texture, nullptr);
  auto drawAndRead = [&]() {
    SpriteQuad quad;
    quad.left = 100.f;
    quad.top = 50.f;
    quad.right = 102.f;
    quad.bottom = 52.f;
    quad.viewport = Viewport{0, 0, 640, 480, 0.f, 1.f};
    device.DrawSpriteQuad(*texture, quad);
    EXPECT_EQ(device.Present(), PresentResult::Ok);
    int pitch = 0;
    const uint32_t *pixels = device.BackBuffer()->LockRect(pitch);
    std::vector<uint32_t> read = {pixels[50 * pitch + 100] | 0xFF000000u, pixels[50 * pitch + 101] | 0xFF000000u,
                                  pixels[51 * pitch + 100] | 0xFF000000u, pixels[51 * pitch + 101] | 0xFF000000u};
    device.BackBuffer()->UnlockRect();
    return read;
  };
  const std::vector<uint32_t> before = drawAndRead();
  ASSERT_EQ(before, std::vector<uint32_t>(texels, texels + 4));

  // To a window of the size chosen from the desktop. (The offscreen driver
  // has no decorations to switch: the end-to-end tests see those.)
  window.SetFullscreen(false);
  EXPECT_FALSE(window.IsFullscreen());
  const WindowSizing::Size chosen = WindowSizing::For(WindowSettings{}, desktop.w, desktop.h, 640, 480);
  EXPECT_EQ(window.PixelWidth(), chosen.width);
  EXPECT_EQ(window.PixelHeight(), chosen.height);
  EXPECT_EQ(SDL_GL_GetCurrentContext(), context);
  EXPECT_EQ(drawAndRead(), before);

  // The user moves and resizes it; full screen and back returns there.
  SDL_SetWindowSize(window.Handle(), 900, 700);
  SDL_SetWindowPosition(window.Handle(), 30, 40);
  WindowMessage message;
  while(window.NextMessage(message))
  {
  }
  window.ToggleFullscreen();
  EXPECT_TRUE(window.IsFullscreen());
  int x = -1;
  int y = -1;
  SDL_GetWindowPosition(window.Handle(), &x, &y);
  EXPECT_EQ(x, desktop.x);
  EXPECT_EQ(y, desktop.y);
  EXPECT_EQ(window.PixelWidth(), desktop.w);
  EXPECT_EQ(window.PixelHeight(), desktop.h);
  EXPECT_EQ(drawAndRead(), before);

  window.ToggleFullscreen();
  SDL_GetWindowPosition(window.Handle(), &x, &y);
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 40);
  EXPECT_EQ(window.PixelWidth(), 900);
  EXPECT_EQ(window.PixelHeight(), 700);
  EXPECT_EQ(SDL_GL_GetCurrentContext(), context);
  EXPECT_EQ(drawAndRead(), before);
  EXPECT_STREQ(SDL_GetWindowTitle(window.Handle()), "Vextorn");

  texture.reset();
  device.Release();
  window.Destroy();
}

TEST(WindowModes, ADesktopWindowOpensAtTheAskedSizeWithDecorations)
{
  NativeWindow window;
  WindowSettings settings;
  settings.fullscreen = false;
  settings.width = 800;
  settings.height = 600;
  ASSERT_TRUE(window.Create("Vextorn", settings));
  EXPECT_FALSE(window.IsFullscreen());
  EXPECT_EQ(window.PixelWidth(), 800);
  EXPECT_EQ(window.PixelHeight(), 600);
  const Uint32 flags = SDL_GetWindowFlags(window.Handle());
  EXPECT_TRUE(flags & SDL_WINDOW_RESIZABLE);
  EXPECT_FALSE(flags & SDL_WINDOW_BORDERLESS);
  EXPECT_TRUE(flags & SDL_WINDOW_ALLOW_HIGHDPI);
  EXPECT_STREQ(SDL_GetWindowTitle(window.Handle()), "Vextorn");
  // 800 by 600 shows the logical screen at 1.25.
  const int expected[][4] = {{0, 0, 0, 0}, {799, 599, 639, 479}, {400, 300, 320, 240}, {4, 5, 3, 4}};
  for(const auto &[pointX, pointY, logicalX, logicalY] : expected)
  {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(window.Handle());
    event.motion.x = pointX;
    event.motion.y = pointY;
    SDL_PushEvent(&event);
    WindowMessage message;
    while(window.NextMessage(message))
    {
    }
    int x = 0;
    int y = 0;
    window.MousePosition(x, y);
    EXPECT_EQ(x, logicalX) << pointX;
    EXPECT_EQ(y, logicalY) << pointY;
  }
  window.Destroy();
}
