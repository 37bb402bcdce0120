// The graphics device on the OpenGL back end, in a real context (SDL's
// offscreen driver, Mesa's software renderer). Pixels are read back through
// the device's own back buffer lock.

#include "GlDeviceSupport.h"
#include "gfx/BatchVertex.h"
#include "gfx/GraphicsDevice.h"
#include "platform/NativeWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

namespace {
  constexpr uint32_t Black = 0xFF000000;
  constexpr uint32_t White = 0xFFFFFFFF;

  // Records the order of listener calls across several listeners.
  class RecordingListener : public DeviceListener {
  public:
    RecordingListener(std::vector<std::string> &log, std::string name) : log(log), name(std::move(name)) {}
    bool OnLostDevice(GraphicsDevice &) override
    {
      log.push_back(name + " lost");
      return true;
    }
    bool OnResetDevice(GraphicsDevice &device) override
    {
      // The back buffer is usable again when listeners hear of the reset.
      log.push_back(name + (device.BackBuffer() ? " reset" : " reset without back buffer"));
      return true;
    }

  private:
    std::vector<std::string> &log;
    std::string name;
  };

  class GlDevice : public ::testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_TRUE(window.Create("Vextorn"));
      ASSERT_TRUE(CreateGlDevice(device, window));
    }

    void TearDown() override
    {
      device.Release();
      window.Destroy();
    }

    // The back buffer's pixel, 0xFFRRGGBB.
    uint32_t Pixel(int x, int y)
    {
      int pitch = 0;
      const uint32_t *pixels = device.BackBuffer()->LockRect(pitch);
      const uint32_t value = pixels[y * pitch + x] | 0xFF000000;
      device.BackBuffer()->UnlockRect();
      return value;
    }

    // Number of pixels of the colour in the rectangle (right and bottom excluded).
    int Count(uint32_t colour, int left, int top, int right, int bottom)
    {
      int n = 0;
      for(int y = top; y < bottom; ++y)
        for(int x = left; x < right; ++x)
          n += Pixel(x, y) == colour ? 1 : 0;
      return n;
    }

    void ClearAll(uint32_t colour)
    {
      const Viewport keep = device.GetViewport();
      device.SetViewport(Viewport{0, 0, 640, 480, 0.f, 1.f});
      device.Clear(true, true, colour, 1.f);
      device.SetViewport(keep);
    }

    // Draws the quad a, b, c, d as a fan of two triangles with the device's state.
    void DrawQuad(const Vector3 &a, const Vector3 &b, const Vector3 &c, const Vector3 &d,
                  uint32_t diffuse = White)
    {
      const Vertex fan[4] = {{a.x, a.y, a.z, diffuse, 0.f, 0.f},
                             {b.x, b.y, b.z, diffuse, 1.f, 0.f},
                             {c.x, c.y, c.z, diffuse, 1.f, 1.f},
                             {d.x, d.y, d.z, diffuse, 0.f, 1.f}};
      device.DrawTriangleFan(fan, 2);
    }

    // A projection that maps back-buffer pixels (y down) to clip space, with
    // depth z / 100.
    void UsePixelProjection()
    {
      Matrix p = Matrix::Identity();
      p.m[0][0] = 2.f / 640.f;
      p.m[1][1] = -2.f / 480.f;
      p.m[2][2] = 0.01f;
      p.m[3][0] = -1.f;
      p.m[3][1] = 1.f;
      device.SetTransform(TransformKind::World, Matrix::Identity());
      device.SetTransform(TransformKind::View, Matrix::Identity());
      device.SetTransform(TransformKind::Projection, p);
      device.State().lighting = false;
      device.State().cullMode = CullMode::None;
    }

    NativeWindow window;
    GraphicsDevice device;
  };
}

TEST_F(GlDevice, StartsWithTheProgramDefaultsThePerspectiveProjectionAndTheFullViewport)
{
  ASSERT_NE(device.BackBuffer(), nullptr);
  EXPECT_EQ(device.BackBuffer()->Width(), 640);
  EXPECT_EQ(device.BackBuffer()->Height(), 480);
  EXPECT_EQ(device.GetViewport(), (Viewport{0, 0, 640, 480, 0.f, 1.f}));
  EXPECT_EQ(device.GetTransform(TransformKind::Projection),
            Matrix::PerspectiveFovLH(0.7853982f, 640.f / 480.f, 1.f, 10000.f));
  EXPECT_EQ(device.GetTransform(TransformKind::View),
            Matrix::LookAtLH({0.f, 0.f, 480.f}, {0.f, 0.f, 0.f}, {0.f, 1.f, 0.f}));
  const DeviceState &state = device.State();
  EXPECT_TRUE(state.zEnable);
  EXPECT_TRUE(state.lighting);
  EXPECT_EQ(state.cullMode, CullMode::CounterClockwise);
  EXPECT_EQ(state.ambient, 0x00FFFFFFu);
  EXPECT_TRUE(state.light0Enabled);
  EXPECT_EQ(device.TestCooperativeLevel(), CooperativeLevel::Ok);
  EXPECT_EQ(device.Present(), PresentResult::Ok);
}

TEST_F(GlDevice, ResetTellsListenersInOrderAndTheLostDeviceProtocolResetsTwice)
{
  std::vector<std::string> log;
  RecordingListener first(log, "first");
  RecordingListener second(log, "second");
  device.Listeners().Add(&first);
  device.Listeners().Add(&second);

  EXPECT_TRUE(device.Reset());
  EXPECT_EQ(log, (std::vector<std::string>{"first lost", "second lost", "first reset", "second reset"}));
  log.clear();

  device.SimulateDeviceLoss();
  EXPECT_EQ(device.Present(), PresentResult::DeviceLost);
  ASSERT_EQ(device.TestCooperativeLevel(), CooperativeLevel::DeviceNotReset);
  device.Reset();
  device.Resize();
  EXPECT_EQ(log, (std::vector<std::string>{"first lost", "second lost", "first reset", "second reset",
                                           "first lost", "second lost", "first reset", "second reset"}));
  EXPECT_EQ(device.TestCooperativeLevel(), CooperativeLevel::Ok);
  EXPECT_EQ(device.Present(), PresentResult::Ok);
  EXPECT_EQ(device.GetTransform(TransformKind::Projection),
            Matrix::PerspectiveFovLH(0.7853982f, 640.f / 480.f, 1.f, 10000.f));

  // The new back buffer draws and reads like the first.
  ClearAll(0xFF336699);
  EXPECT_EQ(Pixel(320, 240), 0xFF336699u);
  device.Listeners().Clear();
}

TEST_F(GlDevice, AFailingResetLogsOneLineAndLeavesNoBackBufferUntilALaterResetSucceeds)
{
  std::vector<std::string> log;
  RecordingListener listener(log, "widget");
  device.Listeners().Add(&listener);

  device.SimulateDeviceLoss(1, ResetError::DeviceLost);
  EXPECT_EQ(device.Present(), PresentResult::DeviceLost);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(device.Reset());
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_EQ(device.BackBuffer(), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"widget lost"}));
  // Frames go on while the device is lost; only presenting fails.
  EXPECT_EQ(device.Present(), PresentResult::DeviceLost);

  EXPECT_TRUE(device.Reset());
  EXPECT_NE(device.BackBuffer(), nullptr);
  EXPECT_EQ(device.Present(), PresentResult::Ok);
  device.Listeners().Clear();
}

TEST_F(GlDevice, ASpriteAtAWholePositionPutsOneTexelOnEachPixel)
{
  // Four by three texels, all different, opaque.
  std::vector<uint32_t> texels;
  for(int i = 0; i < 12; ++i)
    texels.push_back(0xFF000000u | static_cast<uint32_t>(0x101010 * (i + 1)) | (i << 20));
  auto texture = device.CreateTexture(4, 3, texels.data());
  ASSERT_NE(texture, nullptr);
  auto sprite = device.CreateSprite();

  ClearAll(Black);
  const Vector2 at{10.f, 20.f};
  ASSERT_TRUE(sprite->Begin());
  ASSERT_TRUE(sprite->Draw(texture.get(), nullptr, nullptr, &at, White));
  sprite->End();

  for(int y = 0; y < 3; ++y)
    for(int x = 0; x < 4; ++x)
      EXPECT_EQ(Pixel(10 + x, 20 + y), texels[y * 4 + x]) << x << "," << y;
  // Nothing around the picture.
  EXPECT_EQ(Count(Black, 8, 18, 16, 25), 8 * 7 - 12);

  // A source rectangle picks texels (1, 1) and (2, 1) only.
  const PixelRect source{1, 1, 3, 2};
  const Vector2 there{100.f, 100.f};
  sprite->Begin();
  sprite->Draw(texture.get(), &source, nullptr, &there, White);
  sprite->End();
  EXPECT_EQ(Pixel(100, 100), texels[5]);
  EXPECT_EQ(Pixel(101, 100), texels[6]);
  EXPECT_EQ(Count(Black, 98, 98, 104, 103), 6 * 5 - 2);
}

TEST_F(GlDevice, ATranslucentSpriteColourBlendsOverWhatIsThere)
{
  const uint32_t opaque = White;
  auto texture = device.CreateTexture(1, 1, &opaque);
  const uint32_t halfTexel = 0x80FF0000;
  auto halfRed = device.CreateTexture(1, 1, &halfTexel);
  auto sprite = device.CreateSprite();
  ClearAll(Black);
  const Vector2 scale{20.f, 20.f};
  const Vector2 left{0.f, 0.f};
  const Vector2 right{100.f, 0.f};
  sprite->Begin();
  sprite->Draw(texture.get(), nullptr, &scale, &left, 0x62FFFFFF);
  // Texel alpha and colour alpha multiply: 0x80 of red at half the colour's 0xFF.
  sprite->Draw(halfRed.get(), nullptr, &scale, &right, 0xFFFFFFFF);
  sprite->End();

  const uint32_t mixed = Pixel(10, 10);
  for(int shift : {0, 8, 16})
    EXPECT_NEAR(static_cast<int>((mixed >> shift) & 0xFF), 98, 1) << shift;
  const uint32_t red = Pixel(110, 10);
  EXPECT_NEAR(static_cast<int>((red >> 16) & 0xFF), 128, 1);
  EXPECT_EQ(red & 0xFFFF, 0u);

  // Over a lit background the rest shows through: 98/255 white over 0x40 grey.
  ClearAll(0xFF404040);
  sprite->Begin();
  sprite->Draw(texture.get(), nullptr, &scale, &left, 0x62FFFFFF);
  sprite->End();
  const double expected = 98.0 + 64.0 * (1.0 - 98.0 / 255.0);
  EXPECT_NEAR(static_cast<double>(Pixel(5, 5) & 0xFF), expected, 1.0);
}

TEST_F(GlDevice, SpritesAreClippedToTheViewport)
{
  const uint32_t texel = White;
  auto texture = device.CreateTexture(1, 1, &texel);
  auto sprite = device.CreateSprite();
  ClearAll(Black);
  device.SetViewport(Viewport{118, 128, 506, 336, 0.f, 1.f});
  const Vector2 scale{40.f, 40.f};
  const Vector2 at{100.f, 110.f};
  sprite->Begin();
  sprite->Draw(texture.get(), nullptr, &scale, &at, White);
  sprite->End();
  EXPECT_EQ(Count(White, 100, 110, 140, 150), 22 * 22);
  EXPECT_EQ(Pixel(118, 128), White);
  EXPECT_EQ(Pixel(117, 128), Black);
  EXPECT_EQ(Pixel(118, 127), Black);
}

TEST_F(GlDevice, CubeFacesAreSeenFromOutsideAndRoomFacesFromInside)
{
  device.SetTransform(TransformKind::World, Matrix::Identity());
  device.SetTransform(TransformKind::View, Matrix::LookAtLH({0.f, 0.f, -100.f}, {0.f, 0.f, 0.f}, {0.f, 1.f, 0.f}));
  ASSERT_EQ(device.State().cullMode, CullMode::CounterClockwise);
  ASSERT_TRUE(device.State().lighting);

  // Face 0 of a cube of half-size 20 at the origin, corners as the cube builds
  // them: it faces the camera and is kept.
  const float h = 20.f;
  const Vector3 c0{-h, h, -h}, c1{h, h, -h}, c2{h, -h, -h}, c3{-h, -h, -h};
  ClearAll(Black);
  device.BeginScene();
  DrawQuad(c0, c1, c2, c3);
  device.EndScene();
  EXPECT_EQ(Pixel(320, 240), White);
  const int covered = Count(White, 0, 0, 640, 480);
  EXPECT_GT(covered, 100 * 100);

  // The same quad reversed, as the room winds its faces, is culled.
  ClearAll(Black);
  DrawQuad(c3, c2, c1, c0);
  EXPECT_EQ(Count(White, 0, 0, 640, 480), 0);

  // Clockwise culling keeps the reversed one and drops the cube's.
  device.State().cullMode = CullMode::Clockwise;
  DrawQuad(c3, c2, c1, c0);
  EXPECT_EQ(Count(White, 0, 0, 640, 480), covered);
  ClearAll(Black);
  DrawQuad(c0, c1, c2, c3);
  EXPECT_EQ(Count(White, 0, 0, 640, 480), 0);
  device.State().cullMode = CullMode::CounterClockwise;

  // Inside a room of half-size 320 looking at +z, the far wall (face 2 of the
  // cube table, reversed) is visible; the wall behind the camera (face 0,
  // reversed) is culled, and so is face 2 in the cube's own order.
  const float r = 320.f;
  device.SetTransform(TransformKind::View, Matrix::LookAtLH({0.f, 0.f, 0.f}, {0.f, 0.f, 1.f}, {0.f, 1.f, 0.f}));
  const Vector3 f0{r, r, r}, f1{-r, r, r}, f2{-r, -r, r}, f3{r, -r, r};
  ClearAll(Black);
  DrawQuad(f3, f2, f1, f0);
  EXPECT_EQ(Pixel(320, 240), White);
  EXPECT_EQ(Pixel(5, 5), White);
  ClearAll(Black);
  DrawQuad(f0, f1, f2, f3);
  DrawQuad({-r, -r, -r}, {r, -r, -r}, {r, r, -r}, {-r, r, -r});
  EXPECT_EQ(Count(White, 0, 0, 640, 480), 0);
}

TEST_F(GlDevice, DepthTestKeepsTheNearerFaceAndHonoursDepthWrites)
{
  UsePixelProjection();
  device.State().lighting = false;
  ClearAll(Black);
  // Near red square first, then a far green one over it.
  DrawQuad({100, 100, 10}, {200, 100, 10}, {200, 200, 10}, {100, 200, 10}, 0xFFFF0000);
  DrawQuad({150, 150, 50}, {250, 150, 50}, {250, 250, 50}, {150, 250, 50}, 0xFF00FF00);
  EXPECT_EQ(Pixel(175, 175), 0xFFFF0000u);
  EXPECT_EQ(Pixel(225, 225), 0xFF00FF00u);
  // Equal depth passes (less-or-equal).
  DrawQuad({100, 100, 10}, {200, 100, 10}, {200, 200, 10}, {100, 200, 10}, 0xFF0000FF);
  EXPECT_EQ(Pixel(120, 120), 0xFF0000FFu);

  // Without depth writes the near square leaves the far one free to draw.
  ClearAll(Black);
  device.State().zWriteEnable = false;
  DrawQuad({100, 100, 10}, {200, 100, 10}, {200, 200, 10}, {100, 200, 10}, 0xFFFF0000);
  device.State().zWriteEnable = true;
  DrawQuad({150, 150, 50}, {250, 150, 50}, {250, 250, 50}, {150, 250, 50}, 0xFF00FF00);
  EXPECT_EQ(Pixel(175, 175), 0xFF00FF00u);

  // Beyond the far plane (clip depth above 1) nothing is drawn.
  ClearAll(Black);
  DrawQuad({100, 100, 150}, {200, 100, 150}, {200, 200, 150}, {100, 200, 150}, 0xFFFF0000);
  EXPECT_EQ(Pixel(150, 150), Black);
}

TEST_F(GlDevice, PixelCentresLieOnWholeCoordinates)
{
  UsePixelProjection();
  ClearAll(Black);
  // Edges at 100.25 and 110.25: the whole-numbered pixel centres inside are 101 to 110.
  DrawQuad({100.25f, 50.25f, 1}, {110.25f, 50.25f, 1}, {110.25f, 60.25f, 1}, {100.25f, 60.25f, 1});
  EXPECT_EQ(Pixel(100, 55), Black);
  EXPECT_EQ(Pixel(101, 55), White);
  EXPECT_EQ(Pixel(110, 55), White);
  EXPECT_EQ(Pixel(111, 55), Black);
  EXPECT_EQ(Pixel(105, 50), Black);
  EXPECT_EQ(Pixel(105, 51), White);
  EXPECT_EQ(Pixel(105, 60), White);
  EXPECT_EQ(Pixel(105, 61), Black);
  EXPECT_EQ(Count(White, 0, 0, 640, 480), 100);
}

TEST_F(GlDevice, FacesModulateTheTextureByTheVertexOrStateColourAndRepeatIt)
{
  // Two texels: white, then red.
  const uint32_t texels[2] = {White, 0xFFFF0000};
  auto texture = device.CreateTexture(2, 1, texels);
  UsePixelProjection();
  ClearAll(Black);
  device.SetTexture(texture.get());
  // Lighting off: the vertex colour (green) modulates. u runs 0..2 over 80
  // pixels, so the two texels repeat: white, red, white, red in 20-pixel bands.
  const uint32_t green = 0xFF00FF00;
  const Vertex fan[4] = {{0, 0, 1, green, 0.f, 0.f},
                         {80, 0, 1, green, 2.f, 0.f},
                         {80, 10, 1, green, 2.f, 1.f},
                         {0, 10, 1, green, 0.f, 1.f}};
  device.DrawTriangleFan(fan, 2);
  EXPECT_EQ(Pixel(5, 5), green);
  EXPECT_EQ(Pixel(25, 5), Black);
  EXPECT_EQ(Pixel(45, 5), green);
  EXPECT_EQ(Pixel(65, 5), Black);

  // Lighting on: the lit colour (white ambient times white material) applies
  // and the vertex colour does not.
  device.State().lighting = true;
  device.DrawTriangleFan(fan, 2);
  EXPECT_EQ(Pixel(5, 5), White);
  EXPECT_EQ(Pixel(25, 5), 0xFFFF0000u);

  // A half ambient halves the picture.
  device.State().ambient = 0x00808080;
  device.DrawTriangleFan(fan, 2);
  EXPECT_NEAR(static_cast<int>((Pixel(25, 5) >> 16) & 0xFF), 128, 1);

  // No texture samples as white.
  device.SetTexture(nullptr);
  device.State().lighting = false;
  device.DrawTriangleFan(fan, 2);
  EXPECT_EQ(Pixel(25, 5), green);
}

TEST_F(GlDevice, ClearTouchesOnlyTheViewport)
{
  ClearAll(0xFFFF0000);
  device.SetViewport(Viewport{100, 50, 200, 100, 0.f, 1.f});
  device.Clear(true, false, 0xFF0000FF, 1.f);
  EXPECT_EQ(Count(0xFF0000FF, 100, 50, 300, 150), 200 * 100);
  EXPECT_EQ(Pixel(99, 50), 0xFFFF0000u);
  EXPECT_EQ(Pixel(300, 50), 0xFFFF0000u);
  EXPECT_EQ(Pixel(100, 49), 0xFFFF0000u);
  EXPECT_EQ(Pixel(100, 150), 0xFFFF0000u);
  EXPECT_EQ(Count(0xFF0000FF, 0, 0, 640, 480), 200 * 100);
}

TEST_F(GlDevice, BackBufferRowZeroIsTheTopOfTheScreen)
{
  ClearAll(Black);
  device.SetViewport(Viewport{0, 0, 640, 10, 0.f, 1.f});
  device.Clear(true, false, White, 1.f);
  EXPECT_EQ(Pixel(0, 0), White);
  EXPECT_EQ(Pixel(639, 9), White);
  EXPECT_EQ(Pixel(0, 10), Black);
  EXPECT_EQ(Pixel(0, 479), Black);
}

TEST_F(GlDevice, DrawingOnTheBackBufferRoundTripsThroughTheRenderer)
{
  ClearAll(Black);
  DrawingContext *context = device.BackBuffer()->GetDC();
  ASSERT_NE(context, nullptr);
  // Write a few pixels straight into the context's image.
  const PixelView &view = context->Target();
  auto put = [&](int x, int y, uint32_t rgb) { reinterpret_cast<uint32_t *>(view.Row(y))[x] = rgb; };
  put(0, 0, 0x00FF0000);
  put(639, 0, 0x0000FF00);
  put(0, 479, 0x000000FF);
  put(320, 240, 0x00123456);
  device.BackBuffer()->ReleaseDC(context);

  // A clear elsewhere makes the device write the drawing to the renderer and
  // read the picture back from it afterwards.
  device.SetViewport(Viewport{10, 10, 5, 5, 0.f, 1.f});
  device.Clear(true, false, White, 1.f);
  EXPECT_EQ(Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(639, 0), 0xFF00FF00u);
  EXPECT_EQ(Pixel(0, 479), 0xFF0000FFu);
  EXPECT_EQ(Pixel(320, 240), 0xFF123456u);
  EXPECT_EQ(Pixel(12, 12), White);

  // Presenting keeps the back buffer's content.
  EXPECT_EQ(device.Present(), PresentResult::Ok);
  device.Clear(true, false, White, 1.f);
  EXPECT_EQ(Pixel(320, 240), 0xFF123456u);
}

TEST_F(GlDevice, AWrittenTexelShowsInTheNextFrameAndReadsBack)
{
  const uint32_t start[4] = {White, White, White, White};
  auto texture = device.CreateTexture(2, 2, start);
  auto sprite = device.CreateSprite();
  const Vector2 at{30.f, 40.f};
  auto frame = [&]() {
    ClearAll(Black);
    sprite->Begin();
    sprite->Draw(texture.get(), nullptr, nullptr, &at, White);
    sprite->End();
    device.Present();
  };
  frame();
  EXPECT_EQ(Pixel(31, 40), White);

  const uint32_t blue = 0xFF0000FF;
  ASSERT_TRUE(texture->Write(1, 0, 1, 1, &blue, 1));
  frame();
  EXPECT_EQ(Pixel(31, 40), blue);
  EXPECT_EQ(Pixel(30, 40), White);
  EXPECT_EQ(Pixel(31, 41), White);

  uint32_t read[4] = {};
  ASSERT_TRUE(texture->Read(read));
  EXPECT_EQ(read[0], White);
  EXPECT_EQ(read[1], blue);
  EXPECT_EQ(read[2], White);

  // Rectangles outside the texture are refused and change nothing.
  EXPECT_FALSE(texture->Write(1, 1, 2, 1, &blue, 2));
  EXPECT_FALSE(texture->Write(-1, 0, 1, 1, &blue, 1));
  ASSERT_TRUE(texture->Read(read));
  EXPECT_EQ(read[3], White);
}

TEST_F(GlDevice, TexturesSurviveResetsAndTheirOwnersMayOutliveTheDevice)
{
  const uint32_t texel = 0xFF00FF00;
  auto texture = device.CreateTexture(1, 1, &texel);
  EXPECT_TRUE(device.Reset());
  auto sprite = device.CreateSprite();
  ClearAll(Black);
  const Vector2 at{3.f, 3.f};
  sprite->Begin();
  sprite->Draw(texture.get(), nullptr, nullptr, &at, White);
  sprite->End();
  EXPECT_EQ(Pixel(3, 3), texel);

  // At shutdown the window closes first; frames that still present do no harm.
  window.Destroy();
  EXPECT_EQ(device.Present(), PresentResult::Ok);
  // Then the device goes; the texture is dropped afterwards without harm.
  sprite.reset();
  device.Release();
  const uint32_t other = White;
  EXPECT_FALSE(texture->Write(0, 0, 1, 1, &other, 1));
  texture.reset();
}

TEST_F(GlDevice, ABatchDrawsEachFaceAsItsOwnFanWouldWithItsOwnTexture)
{
  // Two overlapping faces seen at an angle, each 64 texels a side with four
  // painted texels among those a face shows (u and v up to 0.1) and its last
  // texel painted too, drawn once as fans with whole textures and once as a
  // batch from the layer pool: the pictures are the same pixel for pixel.
  const uint32_t colours[2] = {0xFFFF0000, 0xFF0000FF};
  std::unique_ptr<DeviceTexture> whole[2];
  std::unique_ptr<DeviceTexture> layers[2];
  for(int f = 0; f < 2; ++f)
  {
    std::vector<uint32_t> texels(64 * 64, colours[f]);
    texels[0] = White;
    texels[3 * 64 + 6] = 0xFF00FF00;
    texels[6 * 64 + 2] = 0xFFFFFF00;
    texels[63 * 64 + 63] = 0xFF00FFFF;
    whole[f] = device.CreateTexture(64, 64, texels.data());
    layers[f] = device.CreateLayerTexture(64, 7);
    ASSERT_NE(layers[f], nullptr);
    ASSERT_TRUE(layers[f]->Write(0, 0, 64, 64, texels.data(), 64));
  }
  const Vector3 a[4] = {{100, 100, 20}, {300, 120, 40}, {290, 300, 60}, {110, 280, 30}};
  const Vector3 b[4] = {{200, 150, 10}, {420, 170, 50}, {400, 380, 20}, {190, 360, 70}};
  const Vector3 *corners[2] = {a, b};
  const float u[4] = {0.f, 0.1f, 0.1f, 0.f};
  const float v[4] = {0.f, 0.f, 0.1f, 0.1f};
  UsePixelProjection();
  device.State().lighting = true;

  ClearAll(Black);
  for(int f = 0; f < 2; ++f)
  {
    Vertex fan[4];
    for(int c = 0; c < 4; ++c)
      fan[c] = {corners[f][c].x, corners[f][c].y, corners[f][c].z, White, u[c], v[c]};
    device.SetTexture(whole[f].get());
    device.DrawTriangleFan(fan, 2);
  }
  std::vector<uint32_t> fans;
  for(int y = 90; y < 390; ++y)
    for(int x = 90; x < 430; ++x)
      fans.push_back(Pixel(x, y));

  std::unique_ptr<FaceBatch> batch = device.CreateFaceBatch(64, 7);
  ASSERT_NE(batch, nullptr);
  for(int f = 0; f < 2; ++f)
  {
    BatchVertex quad[4];
    for(int c = 0; c < 4; ++c)
      quad[c] = {corners[f][c].x, corners[f][c].y, corners[f][c].z, White, u[c], v[c],
                 static_cast<float>(layers[f]->Layer())};
    batch->Insert(batch->QuadCount(), quad, 1);
  }
  ClearAll(Black);
  device.DrawFaceBatch(*batch);
  std::vector<uint32_t> batched;
  for(int y = 90; y < 390; ++y)
    for(int x = 90; x < 430; ++x)
      batched.push_back(Pixel(x, y));
  EXPECT_EQ(batched, fans);
  EXPECT_GT(std::count(fans.begin(), fans.end(), 0xFF00FF00u), 10);

  // A texel painted later shows in the next drawing of the batch.
  const uint32_t black = Black;
  ASSERT_TRUE(layers[1]->Write(3, 3, 1, 1, &black, 1));
  ClearAll(White);
  device.DrawFaceBatch(*batch);
  EXPECT_GT(Count(Black, 90, 90, 430, 390), 10);
}

TEST_F(GlDevice, CursorSpritesAndTheirMaskCombineBitByBit)
{
  // A mask keeps the left half of what is there; the picture ORs blue in.
  const uint32_t mask[2] = {0xFF0F0F0F, 0xFF000000};
  const uint32_t picture[2] = {0xFF000080, 0xFF0000F0};
  auto maskTexture = device.CreateTexture(2, 1, mask);
  auto pictureTexture = device.CreateTexture(2, 1, picture);
  ClearAll(0xFF336699);
  SpriteQuad quad;
  quad.left = 10.f;
  quad.top = 20.f;
  quad.right = 12.f;
  quad.bottom = 21.f;
  quad.blend = SpriteBlend::And;
  device.SetViewport(Viewport{0, 0, 640, 480, 0.f, 1.f});
  device.DrawSpriteQuad(*maskTexture, quad);
  quad.blend = SpriteBlend::Or;
  device.DrawSpriteQuad(*pictureTexture, quad);
  EXPECT_EQ(Pixel(10, 20), 0xFF030609u | 0x80u);
  EXPECT_EQ(Pixel(11, 20), 0xFF0000F0u);
  EXPECT_EQ(Pixel(12, 20), 0xFF336699u);
  // An ordinary sprite after them blends again.
  quad.blend = SpriteBlend::Alpha;
  quad.colour = 0x00FFFFFF;
  device.DrawSpriteQuad(*pictureTexture, quad);
  EXPECT_EQ(Pixel(11, 20), 0xFF0000F0u);
}

TEST_F(GlDevice, AFrameThatDrawsWhatIsShownRestsAndAMovedOverlayIsDrawnOverTheSavedScene)
{
  const uint32_t red = 0xFFFF0000;
  auto dot = device.CreateTexture(1, 1, &red);
  auto drawFrame = [&](float cursorX, uint32_t background) {
    device.SetViewport(Viewport{0, 0, 640, 480, 0.f, 1.f});
    device.Clear(true, true, background, 1.f);
    device.MarkLayer();
    SpriteQuad quad;
    quad.left = cursorX;
    quad.top = 5.f;
    quad.right = cursorX + 1.f;
    quad.bottom = 6.f;
    device.DrawSpriteQuad(*dot, quad);
    return device.PresentFrame();
  };
  EXPECT_TRUE(drawFrame(5.f, White));
  const int presented = device.PresentedFrames();
  EXPECT_FALSE(drawFrame(5.f, White));
  EXPECT_EQ(device.RestedFrames(), 1);
  EXPECT_EQ(Pixel(5, 5), red);

  // The cursor moves: the old place shows the scene again.
  EXPECT_TRUE(drawFrame(9.f, White));
  EXPECT_EQ(Pixel(5, 5), White);
  EXPECT_EQ(Pixel(9, 5), red);
  // The scene changes: drawn whole.
  EXPECT_TRUE(drawFrame(9.f, Black));
  EXPECT_EQ(Pixel(5, 5), Black);
  EXPECT_EQ(Pixel(9, 5), red);
  EXPECT_EQ(device.PresentedFrames(), presented + 2);

  // The window asks for the picture again: presented although nothing changed.
  device.RequestPresent();
  EXPECT_TRUE(drawFrame(9.f, Black));
  EXPECT_FALSE(drawFrame(9.f, Black));
}

TEST_F(GlDevice, ATextureFromAnotherDeviceDrawsAsWhite)
{
  GraphicsDevice memoryDevice;
  ASSERT_TRUE(memoryDevice.CreateHeadless());
  const uint32_t red = 0xFFFF0000;
  auto foreign = memoryDevice.CreateTexture(1, 1, &red);
  auto sprite = device.CreateSprite();
  ClearAll(Black);
  const Vector2 at{7.f, 7.f};
  sprite->Begin();
  sprite->Draw(foreign.get(), nullptr, nullptr, &at, White);
  sprite->End();
  EXPECT_EQ(Pixel(7, 7), White);
}
