// The graphics device's CPU-side state, its matrix functions and the reset
// protocol, on a device without a display.
#include "gfx/GraphicsDevice.h"
#include "gfx/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {
  void ExpectMatrixNear(const Matrix &actual, const float (&expected)[4][4], float tolerance = 1e-5f)
  {
    for(int r = 0; r < 4; ++r)
      for(int c = 0; c < 4; ++c)
        EXPECT_NEAR(actual.m[r][c], expected[r][c], tolerance) << "element _" << r + 1 << c + 1;
  }
}

TEST(Matrix, LookAtFromTheDefaultEyeMatchesHandComputedValues)
{
  // Eye (0, 0, 480) looking at the origin: z axis (0, 0, -1), x axis
  // up x z = (-1, 0, 0), y axis z x x = (0, 1, 0).
  const Matrix m = Matrix::LookAtLH({0, 0, 480}, {0, 0, 0}, {0, 1, 0});
  const float expected[4][4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 480, 1}};
  ExpectMatrixNear(m, expected);
  // The eye maps to the origin of view space, the target straight ahead.
  const Vector3 target = m.TransformPoint({0, 0, 0});
  EXPECT_FLOAT_EQ(target.z, 480.f);
}

TEST(Matrix, LookAtFromAnObliqueEye)
{
  const Vector3 eye(3, 4, 0);
  const Matrix m = Matrix::LookAtLH(eye, {0, 0, 0}, {0, 1, 0});
  // z = normalise(-3, -4, 0) = (-0.6, -0.8, 0); x = normalise(up x z) = (0, 0, 1)
  // (up x z = (1*0 - 0*-0.8, 0*-0.6 - 0*0, 0*-0.8 - 1*-0.6) = (0, 0, 0.6));
  // y = z x x = (-0.8*1 - 0*0, 0*0 - -0.6*1, 0) = (-0.8, 0.6, 0).
  const float expected[4][4] = {
    {0, -0.8f, -0.6f, 0}, {0, 0.6f, -0.8f, 0}, {1, 0, 0, 0}, {0, 0, 5, 1}};
  ExpectMatrixNear(m, expected);
}

TEST(Matrix, PerspectiveAndOrthoFollowTheirFormulas)
{
  const Matrix p = Matrix::PerspectiveFovLH(0.7853982f, 640.f / 480.f, 1.f, 10000.f);
  const float yScale = std::cos(0.7853982f / 2) / std::sin(0.7853982f / 2);  // about 2.4142135
  const float expectedP[4][4] = {{yScale / (640.f / 480.f), 0, 0, 0},
                                 {0, yScale, 0, 0},
                                 {0, 0, 10000.f / 9999.f, 1},
                                 {0, 0, -10000.f / 9999.f, 0}};
  ExpectMatrixNear(p, expectedP);
  EXPECT_NEAR(p.m[1][1], 2.4142135f, 1e-6f);

  const Matrix o = Matrix::OrthoLH(1, 1, 0, 10000);
  const float expectedO[4][4] = {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 1.f / 10000.f, 0}, {0, 0, 0, 1}};
  ExpectMatrixNear(o, expectedO, 1e-9f);
}

TEST(Vector3, NormalizeKeepsNearUnitVectorsAndZeroesTinyOnes)
{
  const Vector3 n = Vector3(-1, 1, -1).Normalized();
  EXPECT_NEAR(n.x, -0.57735026f, 1e-7f);
  EXPECT_NEAR(n.y, 0.57735026f, 1e-7f);
  // A vector whose squared length is within 1.1920929e-7 of 1 is left alone.
  const Vector3 almost(1.00000005f, 0, 0);
  EXPECT_EQ(almost.Normalized(), almost);
  EXPECT_EQ(Vector3(1e-20f, 0, 0).Normalized(), Vector3());
}

TEST(GraphicsDevice, CreateLeavesDefaultStatesPerspectiveProjectionAndFullViewport)
{
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  const DeviceState &s = device.State();
  EXPECT_TRUE(s.zEnable);
  EXPECT_TRUE(s.zWriteEnable);
  EXPECT_FALSE(s.alphaTestEnable);
  EXPECT_EQ(s.alphaFunc, CompareFunction::Greater);
  EXPECT_EQ(s.ambient, 0x00FFFFFFu);
  EXPECT_TRUE(s.lighting);
  EXPECT_EQ(s.cullMode, CullMode::CounterClockwise);
  EXPECT_TRUE(s.light0Enabled);
  EXPECT_EQ(s.material.power, 10.f);
  EXPECT_EQ(s.colourOp, TextureOperation::Modulate);
  EXPECT_EQ(s.alphaOp, TextureOperation::Disable);

  // Resize after the states replaced the 1 by 1 orthographic projection.
  const Matrix expected = Matrix::PerspectiveFovLH(0.7853982f, 640.f / 480.f, 1.f, 10000.f);
  EXPECT_EQ(device.GetTransform(TransformKind::Projection), expected);
  EXPECT_EQ(device.GetTransform(TransformKind::View), Matrix::LookAtLH({0, 0, 480}, {0, 0, 0}, {0, 1, 0}));
  EXPECT_EQ(device.GetViewport(), (Viewport{0, 0, 640, 480, 0.f, 1.f}));
  ASSERT_NE(device.BackBuffer(), nullptr);
  EXPECT_EQ(device.Presentation().backBufferWidth, 640);
  EXPECT_EQ(device.Presentation().backBufferHeight, 480);
}

TEST(GraphicsDevice, ClearFillsOnlyTheViewport)
{
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  device.Clear(true, true, 0xFF000000, 1.f);
  device.SetViewport({118, 128, 506, 336, 0.f, 1.f});
  device.Clear(true, false, 0xFFFFFFFF, 1.f);
  int pitch = 0;
  const uint32_t *pixels = device.BackBuffer()->LockRect(pitch);
  auto at = [&](int x, int y) { return pixels[y * pitch + x] & 0xFFFFFF; };
  EXPECT_EQ(at(118, 128), 0xFFFFFFu);
  EXPECT_EQ(at(623, 463), 0xFFFFFFu);
  EXPECT_EQ(at(117, 200), 0u);
  EXPECT_EQ(at(624, 200), 0u);
  EXPECT_EQ(at(300, 127), 0u);
  EXPECT_EQ(at(300, 464), 0u);
  device.BackBuffer()->UnlockRect();
}

namespace {
  class RecordingListener : public DeviceListener {
  public:
    RecordingListener(std::vector<std::string> &log, std::string name) : log(log), name(std::move(name)) {}
    bool OnLostDevice(GraphicsDevice &) override
    {
      log.push_back("lost " + name);
      return true;
    }
    bool OnResetDevice(GraphicsDevice &device) override
    {
      log.push_back("reset " + name);
      // The back buffer is back before anyone is told.
      EXPECT_NE(device.BackBuffer(), nullptr);
      return true;
    }

  private:
    std::vector<std::string> &log;
    std::string name;
  };
}

TEST(GraphicsDevice, ResetTellsEveryListenerInRegistrationOrder)
{
  std::vector<std::string> log;
  RecordingListener a(log, "a"), b(log, "b");
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  device.Listeners().Add(&a);
  device.Listeners().Add(&b);
  // A reset puts the default states back.
  device.State().cullMode = CullMode::None;
  EXPECT_TRUE(device.Reset());
  EXPECT_EQ(log, (std::vector<std::string>{"lost a", "lost b", "reset a", "reset b"}));
  EXPECT_EQ(device.State().cullMode, CullMode::CounterClockwise);
}

TEST(GraphicsDevice, LostDeviceProtocolResetsTwiceAndRestoresProjectionAndViewport)
{
  std::vector<std::string> log;
  RecordingListener a(log, "a"), b(log, "b");
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  device.Listeners().Add(&a);
  device.Listeners().Add(&b);
  device.SetViewport({118, 128, 506, 336, 0.f, 1.f});

  device.SimulateDeviceLoss();
  ASSERT_EQ(device.Present(), PresentResult::DeviceLost);
  ASSERT_EQ(device.TestCooperativeLevel(), CooperativeLevel::DeviceNotReset);
  EXPECT_TRUE(device.Reset());
  EXPECT_TRUE(device.Resize());
  EXPECT_EQ(log, (std::vector<std::string>{"lost a", "lost b", "reset a", "reset b", "lost a", "lost b",
                                           "reset a", "reset b"}));
  EXPECT_EQ(device.TestCooperativeLevel(), CooperativeLevel::Ok);
  EXPECT_EQ(device.Present(), PresentResult::Ok);
  EXPECT_EQ(device.GetViewport(), (Viewport{0, 0, 640, 480, 0.f, 1.f}));
  EXPECT_EQ(device.GetTransform(TransformKind::Projection),
            Matrix::PerspectiveFovLH(0.7853982f, 640.f / 480.f, 1.f, 10000.f));
}

TEST(GraphicsDevice, AFailedResetLogsOnceKeepsTheBackBufferDroppedAndTellsNoReset)
{
  std::vector<std::string> log;
  RecordingListener a(log, "a");
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  device.Listeners().Add(&a);
  device.SimulateDeviceLoss(1, ResetError::DeviceLost);
  ASSERT_EQ(device.Present(), PresentResult::DeviceLost);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(device.Reset());
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "vextorn: graphics device reset failed: the device is lost\n");
  EXPECT_EQ(device.BackBuffer(), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"lost a"}));
  // Still lost: the next present fails again and a later reset succeeds.
  EXPECT_EQ(device.Present(), PresentResult::DeviceLost);
  EXPECT_TRUE(device.Reset());
  EXPECT_NE(device.BackBuffer(), nullptr);
  EXPECT_EQ(device.Present(), PresentResult::Ok);
}

TEST(GraphicsDevice, ReleaseForgetsListenersWithoutTouchingThemAndMayRunTwice)
{
  std::vector<std::string> log;
  RecordingListener a(log, "a");
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  device.Listeners().Add(&a);
  device.Release();
  device.Release();
  EXPECT_EQ(device.Listeners().Count(), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(device.IsCreated());
  EXPECT_EQ(device.BackBuffer(), nullptr);
  EXPECT_EQ(device.CreateSprite(), nullptr);
  EXPECT_EQ(device.Present(), PresentResult::DeviceLost);
}

TEST(GraphicsDevice, DrawingOnTheBackBufferSurvivesUntilTheBackEndDrawsAgain)
{
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  device.Clear(true, true, 0xFF000000, 1.f);
  DrawingContext *dc = device.BackBuffer()->GetDC();
  ASSERT_NE(dc, nullptr);
  // Only one context at a time.
  EXPECT_EQ(device.BackBuffer()->GetDC(), nullptr);
  dc->FillRect(10, 10, 12, 11, 0x123456);
  device.BackBuffer()->ReleaseDC(dc);
  EXPECT_EQ(device.Present(), PresentResult::Ok);

  int pitch = 0;
  const uint32_t *pixels = device.BackBuffer()->LockRect(pitch);
  EXPECT_EQ(pixels[10 * pitch + 10] & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(pixels[10 * pitch + 11] & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(pixels[10 * pitch + 12] & 0xFFFFFF, 0u);
  device.BackBuffer()->UnlockRect();

  // A clear after the drawing wins over it.
  device.Clear(true, false, 0xFFFFFFFF, 1.f);
  pixels = device.BackBuffer()->LockRect(pitch);
  EXPECT_EQ(pixels[10 * pitch + 10] & 0xFFFFFF, 0xFFFFFFu);
  device.BackBuffer()->UnlockRect();
}

namespace {
  constexpr uint32_t Grey = 0xFF808080, Red = 0xFFFF0000, Blue = 0xFF0000FF, Green = 0xFF00FF00;

  // A device on the memory back end whose frames are three layers: a grey
  // background, a scene over it and a small top layer over that.
  class LayeredFrames : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Create(device, backend)); }

    static bool Create(GraphicsDevice &on, HeadlessBackend *&memory)
    {
      auto owned = std::make_unique<HeadlessBackend>(640, 480);
      memory = owned.get();
      return on.CreateWithBackend(std::move(owned));
    }

    // Records and ends one frame on `on`; `early` carries it out before the
    // top layer is marked. What PresentFrame returns.
    static bool Record(GraphicsDevice &on, uint32_t scene, uint32_t top, bool early, uint32_t topX)
    {
      on.SetViewport({0, 0, 640, 480, 0.f, 1.f});
      on.Clear(true, true, Grey, 1.f);
      on.MarkLayer();
      on.SetViewport({10, 10, 100, 100, 0.f, 1.f});
      on.Clear(true, false, scene, 1.f);
      if(early)
        on.ExecutePending();
      on.MarkLayer();
      on.SetViewport({topX, 20, 5, 5, 0.f, 1.f});
      on.Clear(true, false, top, 1.f);
      return on.PresentFrame();
    }

    bool Frame(uint32_t scene, uint32_t top, bool early = false, uint32_t topX = 20)
    {
      return Record(device, scene, top, early, topX);
    }

    // The back buffer holds the whole picture of those colours.
    bool Shows(uint32_t scene, uint32_t top)
    {
      std::vector<uint32_t> pixels(640 * 480);
      backend->ReadBackBuffer(pixels.data());
      return pixels[5 * 640 + 5] == Grey && pixels[50 * 640 + 50] == scene && pixels[21 * 640 + 21] == top;
    }

    GraphicsDevice device;
    HeadlessBackend *backend = nullptr;
  };
}

TEST_F(LayeredFrames, AFrameCarriedOutEarlyStillCopiesTheLayersMarkedAfterwards)
{
  EXPECT_TRUE(Frame(Red, Blue, true));
  // Both marks got their copy, the one recorded after the early part too.
  EXPECT_EQ(backend->CopiesSaved(), 2);

  // Only the top layer changes: drawing resumes from the second copy.
  const int restored = backend->CopiesRestored();
  EXPECT_TRUE(Frame(Red, Green));
  EXPECT_EQ(backend->CopiesRestored(), restored + 1);
  EXPECT_TRUE(Shows(Red, Green));

  // Carried out early again with a new scene: only the copy of the layer
  // marked before that can serve; the picture is whole.
  EXPECT_TRUE(Frame(Blue, Green, true));
  EXPECT_EQ(backend->CopiesRestored(), restored + 2);
  EXPECT_TRUE(Shows(Blue, Green));
}

TEST_F(LayeredFrames, ALayerInMotionIsCopiedOnlyOnceTheFrameRests)
{
  EXPECT_TRUE(Frame(Red, Blue));
  EXPECT_EQ(backend->CopiesSaved(), 2);
  // The scene moves: the background comes back from its copy, and the
  // scene's copy is not made while it keeps changing.
  EXPECT_TRUE(Frame(Green, Blue));
  EXPECT_TRUE(Frame(Blue, Blue));
  EXPECT_EQ(backend->CopiesSaved(), 2);
  EXPECT_TRUE(Shows(Blue, Blue));

  // The first frame that rests makes it, presents nothing and leaves the
  // picture whole; the next one that rests draws nothing.
  const int presents = backend->Presents();
  EXPECT_FALSE(Frame(Blue, Blue));
  EXPECT_EQ(backend->CopiesSaved(), 3);
  EXPECT_TRUE(Shows(Blue, Blue));
  EXPECT_FALSE(Frame(Blue, Blue));
  EXPECT_EQ(backend->CopiesSaved(), 3);
  EXPECT_EQ(backend->Presents(), presents);

  // Only the top layer changes: drawing resumes from the scene's copy, so
  // no copy is made again.
  const int restored = backend->CopiesRestored();
  EXPECT_TRUE(Frame(Blue, Red));
  EXPECT_EQ(backend->CopiesRestored(), restored + 1);
  EXPECT_EQ(backend->CopiesSaved(), 3);
  EXPECT_TRUE(Shows(Blue, Red));
}

TEST_F(LayeredFrames, APresentNamesWhatMayHaveChangedSinceTheLastPicture)
{
  const PixelRect whole{0, 0, 640, 480};
  // The first picture: all of it.
  EXPECT_TRUE(Frame(Red, Blue));
  EXPECT_EQ(backend->LastChanged(), whole);
  // Only the top layer changes: what it draws.
  EXPECT_TRUE(Frame(Red, Green));
  EXPECT_EQ(backend->LastChanged(), (PixelRect{20, 20, 25, 25}));
  // The top layer moves: where it was and where it is.
  EXPECT_TRUE(Frame(Red, Green, false, 40));
  EXPECT_EQ(backend->LastChanged(), (PixelRect{20, 20, 45, 25}));
  // The scene changes: it and the layer over it, from the background's copy.
  EXPECT_TRUE(Frame(Blue, Green, false, 40));
  EXPECT_EQ(backend->LastChanged(), (PixelRect{10, 10, 110, 110}));

  // The window asks for its picture again: all of it, even unchanged.
  device.RequestPresent();
  EXPECT_TRUE(Frame(Blue, Green, false, 40));
  EXPECT_EQ(backend->LastChanged(), whole);
  device.RequestPresent();
  EXPECT_TRUE(Frame(Blue, Red, false, 40));
  EXPECT_EQ(backend->LastChanged(), whole);

  // Drawing by the processor may be anywhere: all of it, in that frame.
  EXPECT_TRUE(Frame(Blue, Green, false, 40));
  device.NoteProcessorDrawing();
  EXPECT_TRUE(Frame(Blue, Red, false, 40));
  EXPECT_EQ(backend->LastChanged(), whole);

  // A lost device starts again from the whole picture.
  EXPECT_TRUE(Frame(Blue, Green, false, 40));
  device.SimulateDeviceLoss();
  EXPECT_FALSE(Frame(Blue, Red, false, 40));
  EXPECT_TRUE(Frame(Blue, Red, false, 40));
  EXPECT_EQ(backend->LastChanged(), whole);
  EXPECT_TRUE(Frame(Blue, Green, false, 40));
  EXPECT_EQ(backend->LastChanged(), (PixelRect{40, 20, 45, 25}));

  // Presenting by hand shows all of it.
  ASSERT_EQ(device.Present(), PresentResult::Ok);
  EXPECT_EQ(backend->LastChanged(), whole);
}

TEST_F(LayeredFrames, APictureResumedFromACopyIsTheWholeFrameDrawnAfresh)
{
  // The top layer moves (its old place must go), rests, changes colour; the
  // scene changes with the top layer still and moving, once carried out early.
  const struct {
    uint32_t scene, top, topX;
    bool early;
  } frames[] = {{Red, Blue, 20, false},   {Red, Blue, 60, false},  {Red, Blue, 60, false},
                {Red, Blue, 60, false},   {Red, Green, 120, false}, {Blue, Green, 120, true},
                {Green, Green, 30, false}, {Green, Red, 30, false}, {Green, Red, 30, false},
                {Green, Blue, 24, false}};
  std::vector<uint32_t> shown(640 * 480), fresh(640 * 480);
  for(const auto &f : frames)
  {
    Frame(f.scene, f.top, f.early, f.topX);
    backend->ReadBackBuffer(shown.data());

    GraphicsDevice freshDevice;
    HeadlessBackend *freshBackend = nullptr;
    ASSERT_TRUE(Create(freshDevice, freshBackend));
    ASSERT_TRUE(Record(freshDevice, f.scene, f.top, f.early, f.topX));
    freshBackend->ReadBackBuffer(fresh.data());
    ASSERT_TRUE(shown == fresh) << "top layer at " << f.topX;
  }
  // Copies were put back along the way.
  EXPECT_GE(backend->CopiesRestored(), 6);
}

TEST(FrameRecordBounds, ASpriteReachesTheWholePixelsItsQuadTouchesWithinItsViewport)
{
  FrameRecord record;
  EXPECT_TRUE(record.Bounds(0).Empty());
  DrawCommand sprite;
  sprite.kind = DrawCommand::Kind::Sprite;
  sprite.quad.viewport = {0, 0, 640, 480, 0.f, 1.f};
  sprite.quad.left = 10.5f;
  sprite.quad.top = 20.25f;
  sprite.quad.right = 30.5f;
  sprite.quad.bottom = 40.75f;
  record.Add(sprite);
  EXPECT_EQ(record.Bounds(0), (PixelRect{10, 20, 31, 41}));

  // Held to its viewport, far off screen and not a number alike.
  DrawCommand off = sprite;
  off.quad.viewport = {100, 100, 50, 50, 0.f, 1.f};
  off.quad.left = 140.f;
  off.quad.top = -1e30f;
  off.quad.right = 1e30f;
  off.quad.bottom = 120.f;
  record.Add(off);
  EXPECT_EQ(record.Bounds(1), (PixelRect{140, 100, 150, 120}));
  DrawCommand nan = off;
  nan.quad.bottom = std::numeric_limits<float>::quiet_NaN();
  FrameRecord odd;
  odd.Add(nan);
  const PixelRect held = odd.Bounds(0);
  EXPECT_TRUE(held.Empty() || (held.left >= 100 && held.right <= 150 && held.top >= 100 && held.bottom <= 150));

  // A clear reaches its viewport; the union holds both.
  DrawCommand clear;
  clear.viewport = {200, 300, 40, 10, 0.f, 1.f};
  record.Add(clear);
  EXPECT_EQ(record.Bounds(2), (PixelRect{200, 300, 240, 310}));
  EXPECT_EQ(record.Bounds(0), (PixelRect{10, 20, 240, 310}));
  EXPECT_EQ(record.Bounds(1), (PixelRect{140, 100, 240, 310}));
  EXPECT_TRUE(record.Bounds(3).Empty());
}
