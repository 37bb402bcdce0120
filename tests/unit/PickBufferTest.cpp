#include "ModelTestSupport.h"

#include "model/OutlineMask.h"
#include "model/PickBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {
  // Draws the sprites the back end was given onto a white 640 by 480
  // picture as the device draws them: one texel per pixel, clipped to the
  // sprite's viewport, texel times colour alpha-blended over what is there.
  std::vector<uint32_t> PictureOfSprites(const RecordingBackend &backend)
  {
    std::vector<uint32_t> picture(640 * 480, 0xFFFFFFFFu);
    for(const RecordingBackend::SpriteDraw &draw : backend.sprites)
    {
      const DeviceTexture &texture = *draw.texture;
      std::vector<uint32_t> texels(static_cast<size_t>(texture.Width()) * texture.Height());
      texture.Read(texels.data());
      const SpriteQuad &q = draw.quad;
      const int x0 = std::max(static_cast<int>(q.left), static_cast<int>(q.viewport.x));
      const int y0 = std::max(static_cast<int>(q.top), static_cast<int>(q.viewport.y));
      const int x1 = std::min(static_cast<int>(q.right), static_cast<int>(q.viewport.x + q.viewport.width));
      const int y1 = std::min(static_cast<int>(q.bottom), static_cast<int>(q.viewport.y + q.viewport.height));
      for(int y = y0; y < y1; ++y)
        for(int x = x0; x < x1; ++x)
        {
          const uint32_t t = texels[static_cast<size_t>(y - static_cast<int>(q.top)) * texture.Width() +
                                    (x - static_cast<int>(q.left))];
          uint32_t &out = picture[static_cast<size_t>(y) * 640 + x];
          uint32_t blended = 0xFF000000u;
          for(int shift = 0; shift < 24; shift += 8)
          {
            const double alpha = ((t >> 24) & 0xFF) / 255.0 * ((q.colour >> 24) & 0xFF) / 255.0;
            const double source = ((t >> shift) & 0xFF) * ((q.colour >> shift) & 0xFF) / 255.0;
            const double value = source * alpha + ((out >> shift) & 0xFF) * (1.0 - alpha);
            blended |= static_cast<uint32_t>(std::lround(value)) << shift;
          }
          out = blended;
        }
    }
    return picture;
  }

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

// A redraw left to the helper threads: what is queued meanwhile waits for
// the next one, and every call that reads or writes the records waits for it
// to finish, so the results are those of drawing on one thread.
TEST_F(PickBufferTest, AStartedRedrawIsWaitedForByEveryReadAndWriteAndKeepsLaterQueueing)
{
  // Overlapping triangles at a few depths, in three sets.
  auto triangle = [](uintptr_t n, Vector3 q[3]) {
    const float x = static_cast<float>((n * 53) % 560);
    const float y = static_cast<float>((n * 29) % 400);
    const float z = 0.1f + 0.2f * static_cast<float>(n % 4);
    q[0] = Vector3(x, y, z);
    q[1] = Vector3(x + 90.f, y + 10.f, z);
    q[2] = Vector3(x + 20.f, y + 70.f, z + 0.05f);
  };
  auto queue = [&](PickBuffer &into, uintptr_t first, uintptr_t last) {
    for(uintptr_t n = first; n <= last; ++n)
    {
      Vector3 q[3];
      triangle(n, q);
      into.Queue(q[0], q[1], q[2], Tag(n));
    }
  };
  auto drawn = [&](uintptr_t first, uintptr_t last) {
    auto one = std::make_unique<PickBuffer>();
    EXPECT_TRUE(one->Init(640, 480, 624, 464));
    for(uintptr_t n = first; n <= last; ++n)
    {
      Vector3 q[3];
      triangle(n, q);
      one->Rasterise(q[0], q[1], q[2], Tag(n));
    }
    return one;
  };
  auto same = [](const PickBuffer &a, const PickBuffer &b) {
    for(int y = 0; y < 480; ++y)
      for(int x = 0; x < 640; ++x)
        if(a.At(x, y).face != b.At(x, y).face || a.At(x, y).depth != b.At(x, y).depth)
          return false;
    return true;
  };

  queue(buffer, 1, 400);
  buffer.StartRedraw();
  EXPECT_TRUE(buffer.Drawing());
  // Queued while the helpers draw: the next redraw's.
  queue(buffer, 401, 800);
  EXPECT_TRUE(same(buffer, *drawn(1, 400)));
  EXPECT_FALSE(buffer.Drawing());

  // A forgetting during the next redraw waits for it, then forgets.
  buffer.StartRedraw();
  buffer.Forget(Tag(500).mesh);
  std::unique_ptr<PickBuffer> expected = drawn(401, 800);
  expected->Forget(Tag(500).mesh);
  EXPECT_TRUE(same(buffer, *expected));

  // So do a single triangle's writes and the next start.
  queue(buffer, 801, 1200);
  buffer.StartRedraw();
  Vector3 q[3];
  triangle(7, q);
  buffer.Rasterise(q[0], q[1], q[2], Tag(7));
  expected = drawn(801, 1200);
  expected->Rasterise(q[0], q[1], q[2], Tag(7));
  EXPECT_TRUE(same(buffer, *expected));

  // A buffer destroyed while its helpers draw waits for them first (the
  // sanitized runs report the helpers' writes into freed memory otherwise).
  auto doomed = std::make_unique<PickBuffer>();
  ASSERT_TRUE(doomed->Init(640, 480, 624, 464));
  queue(*doomed, 1, 400);
  doomed->StartRedraw();
  doomed.reset();
}

TEST_F(PickBufferTest, ResetEmptiesEveryRecord)
{
  buffer.Rasterise({-50, -50, 0.5f}, {700, -50, 0.5f}, {-50, 700, 0.5f}, Tag(1));
  buffer.Reset();
  for(int i = 0; i < 640 * 480; ++i)
  {
    const PickRecord r = buffer.At(i % 640, i / 640);
    ASSERT_EQ(r.depth, 999999.f);
    ASSERT_EQ(r.face, nullptr);
    ASSERT_EQ(r.mesh, nullptr);
  }
  // A triangle drawn after the reset lies under none of the old one's pixels.
  buffer.Rasterise({10, 10, 0.5f}, {20, 10, 0.5f}, {10, 20, 0.5f}, Tag(2));
  EXPECT_EQ(buffer.At(12, 12).mesh, Tag(2).mesh);
  EXPECT_EQ(buffer.At(300, 300).mesh, nullptr);
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
  model.DrawOutlines(device);
  device.ExecutePending();
  ASSERT_EQ(backend->sprites.size(), 1u);
  const std::vector<uint32_t> pixels = PictureOfSprites(*backend);

  auto black = [&](int x, int y) { return (pixels[static_cast<size_t>(y) * 640 + x] & 0xFFFFFF) == 0; };
  auto white = [&](int x, int y) { return (pixels[static_cast<size_t>(y) * 640 + x] & 0xFFFFFF) == 0xFFFFFF; };
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
      {
        ASSERT_EQ(black(x, y), rightMarked) << x << "," << y;
        // Everything else is left exactly as it was.
        ASSERT_TRUE(rightMarked || white(x, y)) << x << "," << y;
      }
    }
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

// The outlines are a sprite of the model's overlay: they no longer need the
// back buffer's drawing context, and draw the same while it is out.
TEST_F(ModelTest, DrawOutlinesNeedsNoDrawingContext)
{
  model.RefreshPickBuffer(device);
  model.DrawOutlines(device);
  device.ExecutePending();
  ASSERT_EQ(backend->sprites.size(), 1u);
  const std::vector<uint32_t> free = PictureOfSprites(*backend);
  backend->sprites.clear();

  DrawingContext *held = device.BackBuffer()->GetDC();
  ASSERT_NE(held, nullptr);
  model.DrawOutlines(device);
  device.BackBuffer()->ReleaseDC(held);
  device.ExecutePending();
  ASSERT_EQ(backend->sprites.size(), 1u);
  EXPECT_EQ(PictureOfSprites(*backend), free);
  EXPECT_GT(std::count(free.begin(), free.end(), 0xFF000000u), 0);
}
