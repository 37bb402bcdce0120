// The measuring tools' logic without an X server: grouping damage into frames,
// interval statistics, reading processor time, and the cube heap.

#include "CubeHeap.h"
#include "FrameCoalescer.h"
#include "FrameTimes.h"
#include "ProcessCpu.h"
#include "create/OrbitCamera.h"
#include "gfx/GraphicsDevice.h"
#include "model/CubeMesh.h"
#include "model/PaletteColour.h"
#include "model/VoxelModel.h"
#include "res/Texture.h"

#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

namespace {
  const DamageBox Window{0, 0, 1280, 720};

  // Frames counted when each swap of `swaps` (16 ms apart) arrives as `boxes`.
  int CountFrames(FrameCoalescer &coalescer, const std::vector<DamageBox> &boxes, int swaps, bool batched)
  {
    int frames = 0;
    for(int swap = 0; swap < swaps; ++swap)
      for(size_t i = 0; i < boxes.size(); ++i)
        frames += coalescer.Add(boxes[i], 1000u + 16u * static_cast<uint32_t>(swap),
                                batched && i + 1 < boxes.size());
    return frames;
  }
}

TEST(FrameCoalescerTest, OneFrameForEachWholeWindowSwap)
{
  FrameCoalescer coalescer;
  EXPECT_EQ(CountFrames(coalescer, {Window}, 60, false), 60);
  // Swaps closer together than the gap still count: the same pixels again.
  EXPECT_TRUE(coalescer.Add(Window, 1000u + 16u * 59u + 1u, false));
}

TEST(FrameCoalescerTest, PiecesAroundACoveringWindowAreOneFrame)
{
  // What the server reports when a small window covers part of the picture.
  const std::vector<DamageBox> pieces{{0, 0, 1280, 600}, {0, 600, 20, 62}, {222, 600, 1058, 62}, {0, 662, 1280, 58}};
  FrameCoalescer coalescer;
  EXPECT_EQ(CountFrames(coalescer, pieces, 30, true), 30);
}

TEST(FrameCoalescerTest, BandsOfOneImageAreOneFrame)
{
  // An image put in bands of 51 rows, each its own report.
  std::vector<DamageBox> bands;
  for(int y = 0; y < 720; y += 51)
    bands.push_back({0, y, 1280, std::min(51, 720 - y)});
  FrameCoalescer coalescer;
  EXPECT_EQ(CountFrames(coalescer, bands, 20, false), 20);
}

TEST(FrameCoalescerTest, SeparateSmallChangesApartInTimeAreFrames)
{
  FrameCoalescer coalescer(8);
  EXPECT_TRUE(coalescer.Add({0, 0, 10, 10}, 100u, false));
  // Elsewhere and soon after: the same frame; long after: a new one.
  EXPECT_FALSE(coalescer.Add({50, 50, 10, 10}, 105u, false));
  EXPECT_TRUE(coalescer.Add({100, 100, 10, 10}, 120u, false));
  // Touching edges do not overlap.
  EXPECT_FALSE(coalescer.Add({110, 100, 10, 10}, 121u, false));
  EXPECT_TRUE(coalescer.Add({105, 105, 10, 10}, 122u, false));
  // The server clock wrapping round is a short step, not a long one.
  EXPECT_TRUE(coalescer.Add({0, 0, 10, 10}, 0xFFFFFFFEu, false));
  EXPECT_FALSE(coalescer.Add({20, 0, 10, 10}, 2u, false));
}

TEST(FrameTimesTest, PercentileAndLongestOfTheIntervals)
{
  FrameTimes times;
  EXPECT_EQ(times.IntervalPercentile(0.95), -1.0);
  times.Add(500u);
  EXPECT_EQ(times.Frames(), 1);
  EXPECT_EQ(times.IntervalPercentile(0.95), -1.0);
  EXPECT_EQ(times.LongestInterval(), -1.0);

  // 19 intervals of 16 ms and one of 50 ms: the 95th percentile is the 19th
  // smallest; 18 of 16 and two of 50 put it at 50.
  uint32_t now = 500u;
  for(int i = 0; i < 19; ++i)
    times.Add(now += 16u);
  times.Add(now += 50u);
  EXPECT_EQ(times.Frames(), 21);
  EXPECT_EQ(times.IntervalPercentile(0.95), 16.0);
  EXPECT_EQ(times.IntervalPercentile(1.0), 50.0);
  EXPECT_EQ(times.LongestInterval(), 50.0);
  times.Add(now += 50u);
  EXPECT_EQ(times.IntervalPercentile(0.95), 50.0);
  EXPECT_EQ(times.IntervalPercentile(0.0), 16.0);
}

TEST(FrameTimesTest, IntervalAcrossTheClockWrap)
{
  FrameTimes times;
  times.Add(0xFFFFFFF8u);
  times.Add(8u);
  EXPECT_EQ(times.LongestInterval(), 16.0);
}

TEST(ProcessCpuTest, UserAndSystemTicksFromAStatLine)
{
  uint64_t ticks = 0;
  ASSERT_TRUE(ProcessCpu::ParseTicks("4242 (vextorn) R 1 4242 4242 0 -1 4194304 100 0 0 0 731 269 0 0 20 0 9 0",
                                     ticks));
  EXPECT_EQ(ticks, 1000u);
  // A command name with spaces and parentheses of its own.
  ASSERT_TRUE(ProcessCpu::ParseTicks("7 (a (b) c) S 1 7 7 0 -1 0 0 0 0 0 5 6 0 0", ticks));
  EXPECT_EQ(ticks, 11u);
}

TEST(ProcessCpuTest, RefusesWhatIsNotAStatLine)
{
  uint64_t ticks = 99;
  EXPECT_FALSE(ProcessCpu::ParseTicks("", ticks));
  EXPECT_FALSE(ProcessCpu::ParseTicks("4242 vextorn R 1 2 3 4 5 6 7 8 9 10 11 12", ticks));
  EXPECT_FALSE(ProcessCpu::ParseTicks("4242 (vextorn) R 1 4242 4242 0 -1 4194304 100 0 0", ticks));
  EXPECT_FALSE(ProcessCpu::ParseTicks("4242 (vextorn) R 1 4242 4242 0 -1 4194304 100 0 0 0 7x1 269", ticks));
  EXPECT_FALSE(ProcessCpu::ParseTicks("4242 (vextorn) R 1 4242 4242 0 -1 4194304 100 0 0 0 -5 269", ticks));
  EXPECT_EQ(ticks, 99u);
  EXPECT_FALSE(ProcessCpu::Read(-1, ticks));
}

TEST(ProcessCpuTest, ReadsThisProcessAndSeesItWork)
{
  uint64_t before = 0;
  ASSERT_TRUE(ProcessCpu::Read(static_cast<int>(getpid()), before));
  // Spin for 30 ticks' worth of processor time and see at least most of it.
  const long perSecond = sysconf(_SC_CLK_TCK);
  const clock_t end = clock() + static_cast<clock_t>(0.3 * CLOCKS_PER_SEC);
  volatile unsigned sink = 0;
  while(clock() < end)
    sink = sink + 1;
  uint64_t after = 0;
  ASSERT_TRUE(ProcessCpu::Read(static_cast<int>(getpid()), after));
  EXPECT_GE(after - before, static_cast<uint64_t>(perSecond * 0.2));
}

TEST(CubeHeapTest, StaysInsideTheRoomOnTheFloor)
{
  // The room spans -320 to 320 on every axis; cubes have half-size 20.
  float lowest = 1e9f;
  for(int i = 0; i < 5000; ++i)
  {
    const Vector3 centre = CubeHeap::Centre(i);
    ASSERT_LE(std::abs(centre.x), 300.f) << i;
    ASSERT_LE(std::abs(centre.z), 300.f) << i;
    ASSERT_GE(centre.y, -300.f) << i;
    ASSERT_LE(centre.y, 300.f) << i;
    lowest = std::min(lowest, centre.y);
  }
  EXPECT_EQ(lowest, -300.f);
  // Cubes are distinct (no two at one place) and neighbours overlap.
  std::set<std::tuple<float, float, float>> places;
  for(int i = 0; i < 2000; ++i)
  {
    const Vector3 centre = CubeHeap::Centre(i);
    places.insert({centre.x, centre.y, centre.z});
  }
  EXPECT_EQ(places.size(), 2000u);
  EXPECT_LT(std::abs(CubeHeap::Centre(1).x - CubeHeap::Centre(0).x), 40.f);
}

TEST(CubeHeapTest, NineColoursStripesAndInViewOfTheStartingCamera)
{
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  VoxelModel model;
  VoxelModelSetup setup;
  setup.device = &device;
  ASSERT_TRUE(model.Init(setup));
  ASSERT_TRUE(CubeHeap::Build(model, device, 60));
  ASSERT_EQ(model.Count(), 61);

  std::set<int> colours;
  int striped = 0;
  for(int i = 1; i < model.Count(); ++i)
  {
    CubeMesh *cube = model.At(i);
    const RgbColour own = PaletteRgb(static_cast<PaletteColour>(CubeHeap::ColourIndex(i - 1)));
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
    {
      const uint8_t *texels = cube->FaceTexture(f)->Backing()->Data();
      // The first texel keeps the cube's colour; the middle row holds a stripe
      // on one face only.
      ASSERT_EQ(texels[0], own.red);
      ASSERT_EQ(texels[1], own.green);
      ASSERT_EQ(texels[2], own.blue);
      const uint8_t *middle = texels + 32 * 64 * 3;
      if(middle[0] != own.red || middle[1] != own.green || middle[2] != own.blue)
        ++striped;
    }
    colours.insert(CubeHeap::ColourIndex(i - 1));
  }
  EXPECT_EQ(colours.size(), static_cast<size_t>(PaletteColourCount));
  EXPECT_EQ(striped, 60);

  // Seen as the creation screen first shows it, the cubes cover a good part of
  // the model area (60 cubes, five rows of the bottom layer: some 3.5 %).
  OrbitCamera camera;
  ASSERT_TRUE(camera.Init(device, 640, 480));
  camera.Rotate(45.f, 30.f);
  camera.Apply();
  device.SetViewport(Viewport{118, 128, 506, 336, 0.f, 1.f});
  model.RefreshPickBuffer(device);
  int cubePixels = 0;
  for(int y = 128; y < 464; ++y)
    for(int x = 118; x < 624; ++x)
      cubePixels += model.RecordAt(x, y).textureSize == CubeMesh::CubeTextureSize;
  EXPECT_GT(cubePixels, 506 * 336 / 50) << cubePixels;
}
