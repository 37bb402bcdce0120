#include "ModelTestSupport.h"

#include "model/OutlineMask.h"
#include "model/PickBuffer.h"

#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace {
  // Stand-in identities for the records a test writes; never dereferenced.
  CubeFace *FaceTag(uintptr_t n)
  {
    return reinterpret_cast<CubeFace *>(n * 64);
  }

  PickRecord Tag(uintptr_t n)
  {
    PickRecord tag;
    tag.mesh = reinterpret_cast<CubeMesh *>(n * 64);
    tag.face = FaceTag(n);
    tag.faceIndex = 2;
    tag.textureSize = 64;
    return tag;
  }

  std::set<std::pair<int, int>> Covered(const PickBuffer &buffer)
  {
    std::set<std::pair<int, int>> covered;
    for(int y = 0; y < buffer.Height(); ++y)
      for(int x = 0; x < buffer.Width(); ++x)
        if(buffer.At(x, y).face)
          covered.insert({x, y});
    return covered;
  }

  class PickBufferTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(buffer.Init(640, 480, 624, 464)); }
    PickBuffer buffer;
  };
}

TEST_F(PickBufferTest, SmallTriangleCoversItsSixtySixPixelsEdgesIncluded)
{
  buffer.Rasterise({200, 200, 0.5f}, {210, 200, 0.5f}, {200, 210, 0.5f}, Tag(1));
  std::set<std::pair<int, int>> expected;
  for(int y = 200; y <= 210; ++y)
    for(int x = 200; x <= 410 - y; ++x)
      expected.insert({x, y});
  EXPECT_EQ(expected.size(), 66u);
  EXPECT_EQ(Covered(buffer), expected);
  const PickRecord &r = buffer.At(205, 203);
  EXPECT_EQ(r.depth, 0.5f);
  EXPECT_EQ(r.face, FaceTag(1));
  EXPECT_EQ(r.faceIndex, 2);
  EXPECT_EQ(r.textureSize, 64);
}

TEST_F(PickBufferTest, NearerWinsAndEqualDepthKeepsTheFirstWritten)
{
  buffer.Rasterise({200, 200, 0.5f}, {210, 200, 0.5f}, {200, 210, 0.5f}, Tag(1));
  buffer.Rasterise({200, 200, 0.5f}, {210, 200, 0.5f}, {200, 210, 0.5f}, Tag(2));
  EXPECT_EQ(buffer.At(202, 202).face, FaceTag(1));
  buffer.Rasterise({200, 200, 0.4f}, {210, 200, 0.4f}, {200, 210, 0.4f}, Tag(3));
  EXPECT_EQ(buffer.At(202, 202).face, FaceTag(3));
  EXPECT_EQ(buffer.At(202, 202).depth, 0.4f);
  buffer.Rasterise({200, 200, 0.6f}, {210, 200, 0.6f}, {200, 210, 0.6f}, Tag(4));
  EXPECT_EQ(buffer.At(202, 202).face, FaceTag(3));
}

TEST_F(PickBufferTest, DepthOutOfRangeAbandonsOnlyTheRowsItShould)
{
  // Row 200 starts below 0.00001 and rises: the whole row is abandoned.
  buffer.Rasterise({200, 200, -1.f}, {300, 200, 1.f}, {200, 201, -1.f}, Tag(1));
  for(int x = 0; x < 640; ++x)
    ASSERT_EQ(buffer.At(x, 200).face, nullptr) << x;

  // Falling from positive to negative: written until the depth drops, then skipped.
  buffer.Rasterise({200, 300, 1.f}, {300, 300, -1.f}, {200, 301, 1.f}, Tag(2));
  EXPECT_EQ(buffer.At(200, 300).face, FaceTag(2));
  EXPECT_EQ(buffer.At(249, 300).face, FaceTag(2));
  EXPECT_EQ(buffer.At(251, 300).face, nullptr);

  // Beyond 1000 and falling: abandoned; beyond 1000 and rising: skipped.
  buffer.Rasterise({200, 400, 2000.f}, {300, 400, 0.f}, {200, 401, 2000.f}, Tag(3));
  for(int x = 0; x < 640; ++x)
    ASSERT_EQ(buffer.At(x, 400).face, nullptr) << x;
  buffer.Rasterise({200, 410, 0.5f}, {300, 410, 2000.f}, {200, 411, 0.5f}, Tag(4));
  EXPECT_EQ(buffer.At(230, 410).face, FaceTag(4));
  EXPECT_EQ(buffer.At(260, 410).face, nullptr);
}

TEST_F(PickBufferTest, WritesStopAtTheRectanglesRightAndBottomOnly)
{
  buffer.Rasterise({-50, -50, 0.5f}, {700, -50, 0.5f}, {-50, 700, 0.5f}, Tag(1));
  buffer.Rasterise({700, -50, 0.5f}, {700, 700, 0.5f}, {-50, 700, 0.5f}, Tag(1));
  EXPECT_EQ(buffer.At(0, 0).face, FaceTag(1));
  EXPECT_EQ(buffer.At(623, 463).face, FaceTag(1));
  EXPECT_EQ(buffer.At(624, 100).face, nullptr);
  EXPECT_EQ(buffer.At(100, 464).face, nullptr);
  EXPECT_EQ(Covered(buffer).size(), 624u * 464u);
}

TEST_F(PickBufferTest, HugeInfiniteAndNaNPointsAreSafe)
{
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  buffer.Rasterise({nan, 200, 0.5f}, {210, 200, 0.5f}, {200, 210, 0.5f}, Tag(1));
  buffer.Rasterise({200, 200, nan}, {210, 200, 0.5f}, {200, 210, 0.5f}, Tag(1));
  EXPECT_TRUE(Covered(buffer).empty());

  buffer.Rasterise({-inf, -inf, 0.5f}, {inf, 300, 0.5f}, {200, inf, 0.5f}, Tag(2));
  buffer.Rasterise({-3e38f, 250, 0.5f}, {3e38f, 250, 0.5f}, {0, 3e38f, 0.5f}, Tag(3));
  buffer.Rasterise({1e30f, 1e30f, 0.5f}, {-1e30f, -1e30f, 0.5f}, {1e30f, -1e30f, 0.5f}, Tag(4));
  // Whatever was written lies in the buffer, with a depth in range.
  for(int y = 0; y < 480; ++y)
    for(int x = 0; x < 640; ++x)
      if(buffer.At(x, y).face)
      {
        ASSERT_LT(x, 624);
        ASSERT_LT(y, 464);
        ASSERT_GE(buffer.At(x, y).depth, 0.00001f);
        ASSERT_LE(buffer.At(x, y).depth, 1000.f);
      }
  // A finite triangle still comes out exactly as before.
  PickBuffer clean;
  ASSERT_TRUE(clean.Init(640, 480, 624, 464));
  clean.Rasterise({200.4f, 200.6f, 0.25f}, {300.7f, 210.2f, 0.75f}, {220.1f, 330.9f, 0.5f}, Tag(5));
  buffer.Reset();
  buffer.Rasterise({200.4f, 200.6f, 0.25f}, {300.7f, 210.2f, 0.75f}, {220.1f, 330.9f, 0.5f}, Tag(5));
  EXPECT_EQ(Covered(clean), Covered(buffer));
  EXPECT_GT(Covered(clean).size(), 5000u);
}

TEST_F(PickBufferTest, ResetEmptiesEveryRecord)
{
  buffer.Rasterise({-50, -50, 0.5f}, {700, -50, 0.5f}, {-50, 700, 0.5f}, Tag(1));
  buffer.Reset();
  for(int i = 0; i < 640 * 480; ++i)
  {
    ASSERT_EQ(buffer.Data()[i].depth, 999999.f);
    ASSERT_EQ(buffer.Data()[i].face, nullptr);
    ASSERT_EQ(buffer.Data()[i].mesh, nullptr);
  }
}

TEST_F(PickBufferTest, OutlineOfABlockMarksItsTopLeftEdgesAndTheOutsideOfItsOthers)
{
  buffer.Rasterise({300, 200, 0.5f}, {309, 200, 0.5f}, {309, 209, 0.5f}, Tag(1));
  buffer.Rasterise({309, 209, 0.5f}, {300, 209, 0.5f}, {300, 200, 0.5f}, Tag(1));
  std::set<std::pair<int, int>> block;
  for(int y = 200; y <= 209; ++y)
    for(int x = 300; x <= 309; ++x)
      block.insert({x, y});
  ASSERT_EQ(Covered(buffer), block);

  OutlineMask mask;
  ASSERT_TRUE(mask.Init(640, 480, PixelRect{118, 128, 624, 464}));
  mask.Compute(buffer);
  std::set<std::pair<int, int>> expected;
  for(int i = 0; i < 10; ++i)
  {
    expected.insert({300, 200 + i});
    expected.insert({300 + i, 200});
    expected.insert({310, 200 + i});
    expected.insert({300 + i, 210});
  }
  std::set<std::pair<int, int>> marked;
  for(int y = 0; y < 480; ++y)
    for(int x = 0; x < 640; ++x)
      if(mask.IsMarked(x, y))
        marked.insert({x, y});
  EXPECT_EQ(marked, expected);
  EXPECT_FALSE(mask.IsMarked(310, 210));
}

// The model's own refresh, with the camera's first pose and the room alone.
TEST_F(ModelTest, RefreshWithTheRoomAloneRecordsOnlyWallsFacingTheEye)
{
  model.RefreshPickBuffer(device);
  const CubeMesh *room = model.At(0);
  int walls = 0;
  for(int y = 128; y < 464; ++y)
    for(int x = 118; x < 624; ++x)
    {
      const PickRecord &r = model.RecordAt(x, y);
      if(!r.face)
        continue;
      ++walls;
      ASSERT_EQ(r.mesh, room);
      ASSERT_EQ(r.textureSize, 1024);
      ASSERT_EQ(r.face, &room->Face(r.faceIndex));
      // The eye at z = 900 is outside the room: its near wall is turned away.
      ASSERT_NE(r.faceIndex, 2);
    }
  EXPECT_GT(walls, 0);
  EXPECT_EQ(model.RecordAt(371, 296).faceIndex, 0);
  // Pixels outside the rectangle hold nothing.
  EXPECT_EQ(model.RecordAt(10, 10).face, nullptr);
  EXPECT_EQ(model.RecordAt(10, 10).depth, 999999.f);
  EXPECT_EQ(model.RecordAt(630, 470).face, nullptr);
}

TEST_F(ModelTest, OverlappingCubesShowTheNearerOneAndTiesGoToTheEarlier)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  EXPECT_EQ(model.RecordAt(371, 296).mesh, model.At(1));
  EXPECT_EQ(model.RecordAt(371, 296).faceIndex, 2);
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 100), RgbColour{}));
  EXPECT_EQ(model.RecordAt(371, 296).mesh, model.At(3));
  EXPECT_EQ(model.RecordAt(371, 296).textureSize, 64);
}

TEST_F(ModelTest, FirstRenderRefreshesThePickBufferOnce)
{
  ASSERT_TRUE(model.PickBufferPending());
  EXPECT_EQ(model.RecordAt(371, 296).face, nullptr);
  model.Render(device);
  EXPECT_FALSE(model.PickBufferPending());
  EXPECT_NE(model.RecordAt(371, 296).face, nullptr);
  // Later renders leave the pick buffer as the last refresh made it.
  camera.Rotate(90, 0);
  camera.Apply();
  const PickRecord before = model.RecordAt(371, 296);
  model.Render(device);
  EXPECT_EQ(model.RecordAt(371, 296).face, before.face);
}

TEST_F(ModelTest, DrawOutlinesBlackensEachMarkAndThePixelLeftOfIt)
{
  Turn(45, 30);
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  device.SetViewport(Viewport{0, 0, 640, 480, 0.f, 1.f});
  device.Clear(true, false, 0xFFFFFFFF, 1.f);
  model.DrawOutlines(device);
  device.SetViewport(Viewport{118, 128, 506, 336, 0.f, 1.f});

  int pitch = 0;
  const uint32_t *pixels = device.BackBuffer()->LockRect(pitch);
  auto black = [&](int x, int y) { return (pixels[y * pitch + x] & 0xFFFFFF) == 0; };
  int marks = 0;
  bool leftOfRectangle = false;
  for(int y = 0; y < 480; ++y)
    for(int x = 0; x < 640; ++x)
    {
      const bool marked = model.Outlines().IsMarked(x, y);
      const bool rightMarked = x + 1 < 640 && model.Outlines().IsMarked(x + 1, y);
      if(marked)
      {
        ++marks;
        ASSERT_TRUE(black(x, y) && black(x - 1, y)) << x << "," << y;
        leftOfRectangle = leftOfRectangle || x == 118;
      }
      else
        ASSERT_EQ(black(x, y), rightMarked) << x << "," << y;
    }
  device.BackBuffer()->UnlockRect();
  EXPECT_GT(marks, 100);
  EXPECT_TRUE(leftOfRectangle);

  // The cube's visible faces are outlined along their edges, not the diagonal.
  int x = 0, y = 0;
  ASSERT_TRUE(FindPixel([&](const PickRecord &r) { return r.mesh == model.At(1) && r.faceIndex == 4; }, x, y));
  const CubeFace *top = &model.At(1)->Face(4);
  int inside = 0;
  for(int py = 128; py < 464; ++py)
    for(int px = 119; px < 624; ++px)
      if(model.RecordAt(px, py).face == top && model.RecordAt(px - 1, py).face == top &&
         model.RecordAt(px, py - 1).face == top)
      {
        ++inside;
        ASSERT_FALSE(model.Outlines().IsMarked(px, py));
      }
  EXPECT_GT(inside, 100);
}

TEST_F(ModelTest, DrawOutlinesWhileTheContextIsOutDoesNothing)
{
  device.SetViewport(Viewport{0, 0, 640, 480, 0.f, 1.f});
  device.Clear(true, false, 0xFFFFFFFF, 1.f);
  model.RefreshPickBuffer(device);
  DrawingContext *held = device.BackBuffer()->GetDC();
  ASSERT_NE(held, nullptr);
  model.DrawOutlines(device);
  device.BackBuffer()->ReleaseDC(held);
  int pitch = 0;
  const uint32_t *pixels = device.BackBuffer()->LockRect(pitch);
  int blackPixels = 0;
  for(int i = 0; i < 480 * pitch; ++i)
    blackPixels += (pixels[i] & 0xFFFFFF) == 0;
  device.BackBuffer()->UnlockRect();
  EXPECT_EQ(blackPixels, 0);
  // With the context free again the same call draws.
  model.DrawOutlines(device);
  pixels = device.BackBuffer()->LockRect(pitch);
  for(int i = 0; i < 480 * pitch; ++i)
    blackPixels += (pixels[i] & 0xFFFFFF) == 0;
  device.BackBuffer()->UnlockRect();
  EXPECT_GT(blackPixels, 0);
}
