// The pick-buffer refresh against a plain reference: the straightforward
// scan conversion, reset and outline pass the faster code must reproduce bit
// for bit, every record of the whole buffer (every field that means
// something) and every byte of the outline mask and overlay.

#include "ModelTestSupport.h"

#include "model/OutlineMask.h"
#include "model/PickBuffer.h"
#include "model/RoomMesh.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {
  // The reference rasteriser: one loop over the triangle's rows, three edges
  // per row, every column of the row tested against depth range and rectangle.
  class ReferencePicks {
  public:
    ReferencePicks(int width, int height, int right, int bottom)
      : records(static_cast<size_t>(width) * height), width(width), height(height), right(right), bottom(bottom)
    {
    }

    void Reset()
    {
      for(PickRecord &record : records)
      {
        record.depth = PickBuffer::EmptyDepth;
        record.mesh = nullptr;
        record.face = nullptr;
      }
    }

    static int ClampToInt(float value, int low, int high)
    {
      if(value <= static_cast<float>(low))
        return low;
      if(value >= static_cast<float>(high))
        return high;
      return static_cast<int>(value);
    }

    void Rasterise(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag)
    {
      const Vector3 q[3] = {q0, q1, q2};
      for(const Vector3 &p : q)
        if(std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z))
          return;
      Vector3 delta[3];
      for(int i = 0; i < 3; ++i)
        delta[i] = q[(i + 1) % 3] - q[i];
      float xmin = q0.x, xmax = q0.x, ymin = q0.y, ymax = q0.y;
      for(int i = 1; i < 3; ++i)
      {
        xmin = std::fmin(xmin, q[i].x);
        xmax = std::fmax(xmax, q[i].x);
        ymin = std::fmin(ymin, q[i].y);
        ymax = std::fmax(ymax, q[i].y);
      }
      const int firstRow = ClampToInt(std::trunc(ymin + 0.5f), 0, bottom + 1);
      const int lastRow = ClampToInt(std::trunc(ymax + 0.5f), -1, bottom);
      float zL = 0.f;
      float zR = 0.f;
      for(int y = firstRow; y <= lastRow; ++y)
      {
        const float row = static_cast<float>(y);
        float xL = xmax;
        float xR = xmin;
        for(int i = 0; i < 3; ++i)
        {
          if(!(std::fabs(delta[i].y) > 0.f))
            continue;
          const float t = (row - q[i].y) / delta[i].y;
          if(t >= 0.f && t <= 1.f)
          {
            const float x = q[i].x + t * delta[i].x;
            const float z = q[i].z + t * delta[i].z;
            if(x <= xL)
            {
              xL = x;
              zL = z;
            }
            if(x >= xR)
            {
              xR = x;
              zR = z;
            }
          }
        }
        const float slope = xR - xL >= 1.f ? (zR - zL) / (xR - xL) : 0.f;
        const int firstColumn = ClampToInt(std::trunc(xL + 0.5f), 0, width + 1);
        const int lastColumn = ClampToInt(std::trunc(std::trunc(xR) + 0.5f), -1, width);
        PickRecord *rowRecords = records.data() + static_cast<size_t>(y) * width;
        for(int x = firstColumn; x <= lastColumn; ++x)
        {
          const float z = (static_cast<float>(x) - xL) * slope + zL;
          if(z < 0.00001f)
          {
            if(slope > 0.f)
              break;
            continue;
          }
          if(z > 1000.f)
          {
            if(slope < 0.f)
              break;
            continue;
          }
          if(x < right && y < bottom && z < rowRecords[x].depth)
          {
            rowRecords[x] = tag;
            rowRecords[x].depth = z;
          }
        }
      }
    }

    // The model's refresh: every face of every mesh projected to the screen,
    // the room's walls turned away left out, two triangles per face.
    void Refresh(const VoxelModel &model, GraphicsDevice &device)
    {
      const Viewport &viewport = device.GetViewport();
      const float hw = static_cast<float>(viewport.width / 2);
      const float hh = static_cast<float>(viewport.height / 2);
      Matrix screen = Matrix::Identity();
      screen.m[0][0] = hw;
      screen.m[1][1] = -hh;
      screen.m[2][2] = viewport.maxZ - viewport.minZ;
      screen.m[3][0] = static_cast<float>(viewport.x) + hw;
      screen.m[3][1] = static_cast<float>(viewport.y) + hh;
      screen.m[3][2] = viewport.minZ;
      screen.m[3][3] = 1.f;
      const Matrix m = device.GetTransform(TransformKind::World) * device.GetTransform(TransformKind::View) *
                       device.GetTransform(TransformKind::Projection) * screen;
      Reset();
      for(int i = 0; i < model.Count(); ++i)
      {
        CubeMesh *mesh = model.At(i);
        PickRecord tag;
        tag.mesh = mesh;
        tag.textureSize = i == 0 ? RoomMesh::RoomTextureSize : CubeMesh::CubeTextureSize;
        for(int f = 0; f < CubeMesh::FaceCount; ++f)
        {
          CubeFace &face = mesh->Face(f);
          Vector3 p[4];
          for(int c = 0; c < 4; ++c)
          {
            float w = 1.f;
            const Vector3 clip = m.TransformPoint(face.CornerPosition(c), &w);
            p[c] = Vector3(clip.x / w, clip.y / w, clip.z / w);
          }
          if(i == 0 && (p[0].x - p[1].x) * (p[2].y - p[1].y) - (p[0].y - p[1].y) * (p[2].x - p[1].x) > 0.f)
            continue;
          tag.face = &face;
          tag.faceIndex = f;
          tag.triangle = 0;
          Rasterise(p[0], p[1], p[2], tag);
          tag.triangle = 1;
          Rasterise(p[2], p[3], p[0], tag);
        }
      }
    }

    // The outline marks of the rectangle, as the mask's own rule states them.
    std::vector<uint8_t> Mask(const PixelRect &area) const
    {
      std::vector<uint8_t> mask(records.size(), 0);
      for(int y = area.top; y < area.bottom; ++y)
        for(int x = area.left; x < area.right; ++x)
        {
          const CubeFace *face = At(x, y).face;
          const bool leftDiffers = x - 1 >= area.left && At(x - 1, y).face != face;
          const bool upperDiffers = y - 1 >= area.top && At(x, y - 1).face != face;
          mask[static_cast<size_t>(y) * width + x] = leftDiffers || upperDiffers ? 1 : 0;
        }
      return mask;
    }

    const PickRecord &At(int x, int y) const { return records[static_cast<size_t>(y) * width + x]; }

    std::vector<PickRecord> records;
    int width = 0;
    int height = 0;
    int right = 0;
    int bottom = 0;
  };

  uint32_t Bits(float value)
  {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }

  // The first record that differs in any field, or an empty string.
  std::string FirstDifference(const PickBuffer &buffer, const ReferencePicks &reference)
  {
    for(int y = 0; y < buffer.Height(); ++y)
      for(int x = 0; x < buffer.Width(); ++x)
      {
        const PickRecord a = buffer.At(x, y);
        const PickRecord &b = reference.At(x, y);
        // An empty record's last three fields mean nothing (the reference
        // leaves them as they were).
        const bool empty = !a.face && !b.face;
        if(Bits(a.depth) != Bits(b.depth) || a.mesh != b.mesh || a.face != b.face ||
           (!empty && (a.triangle != b.triangle || a.faceIndex != b.faceIndex || a.textureSize != b.textureSize)))
          return "record " + std::to_string(x) + "," + std::to_string(y) + ": depth " + std::to_string(a.depth) +
                 " against " + std::to_string(b.depth) + ", face index " + std::to_string(a.faceIndex) +
                 " against " + std::to_string(b.faceIndex);
      }
    return {};
  }

  PickRecord Tag(uintptr_t n)
  {
    PickRecord tag;
    tag.mesh = reinterpret_cast<CubeMesh *>(n * 64);
    tag.face = reinterpret_cast<CubeFace *>(n * 64 + 8);
    tag.triangle = static_cast<uint8_t>(n % 2);
    tag.faceIndex = static_cast<int32_t>(n % 6);
    tag.textureSize = static_cast<int32_t>(n);
    return tag;
  }

  // A fixed linear congruential sequence.
  class Sequence {
  public:
    int Next(int range)
    {
      seed = seed * 1664525u + 1013904223u;
      return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    }
    float Coordinate(float low, float high) { return low + (high - low) * static_cast<float>(Next(1 << 20)) / (1 << 20); }

  private:
    uint32_t seed = 2024;
  };
}

// Triangles of every kind, straight into one buffer and queued for a
// redraw of another: small and large, thin, edge-on, far off screen, out of
// the depth range, infinite and NaN, many overlapping at equal depth.
TEST(PickExactness, TriangleSoupMatchesTheReferenceRecordForRecord)
{
  PickBuffer buffer;
  ASSERT_TRUE(buffer.Init(640, 480, 624, 464));
  PickBuffer queued;
  ASSERT_TRUE(queued.Init(640, 480, 624, 464));
  ReferencePicks reference(640, 480, 624, 464);
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float specials[] = {inf, -inf, nan, 3e38f, -3e38f, 1e7f, -1e7f, 0.5f};
  Sequence sequence;
  for(int round = 0; round < 3; ++round)
  {
    buffer.Reset();
    reference.Reset();
    for(uintptr_t n = 1; n <= 3000; ++n)
    {
      Vector3 q[3];
      const int kind = sequence.Next(10);
      for(Vector3 &p : q)
      {
        if(kind < 4)
          p = Vector3(sequence.Coordinate(-40, 680), sequence.Coordinate(-40, 520), sequence.Coordinate(0.f, 1.f));
        else if(kind < 7)
        {
          // Small triangles around one centre, some of them at one depth.
          const float cx = static_cast<float>(sequence.Next(660) - 10);
          const float cy = static_cast<float>(sequence.Next(500) - 10);
          p = Vector3(cx + sequence.Coordinate(-12, 12), cy + sequence.Coordinate(-12, 12),
                      kind == 4 ? 0.25f : sequence.Coordinate(-0.1f, 1.2f));
        }
        else if(kind < 9)
          p = Vector3(sequence.Coordinate(-5000, 5000), sequence.Coordinate(-5000, 5000),
                      sequence.Coordinate(-2000, 2000));
        else
          p = Vector3(specials[sequence.Next(8)], specials[sequence.Next(8)], specials[sequence.Next(8)]);
      }
      // Some edge-on: two points on one row, or all three on a line.
      if(n % 7 == 0)
        q[1].y = q[0].y;
      if(n % 11 == 0)
        q[2] = q[0] + (q[1] - q[0]) * 0.5f;
      buffer.Rasterise(q[0], q[1], q[2], Tag(n));
      queued.Queue(q[0], q[1], q[2], Tag(n));
      reference.Rasterise(q[0], q[1], q[2], Tag(n));
    }
    // Slivers narrower than a pixel whose last row lies past their lowest
    // point: that row finds no edge and takes its depth from the row above.
    // One ends at every row, so one crosses wherever a redraw splits the rows.
    // They are nearer than the soup, so that they show.
    for(int y = 0; y < 470; ++y)
    {
      const float x = static_cast<float>((y * 37) % 600);
      const float top = static_cast<float>(y) - 3.f;
      const Vector3 q[3] = {
        {x + 0.2f, top, 0.0001f}, {x + 0.4f, static_cast<float>(y) + 0.6f, 0.00002f}, {x + 0.3f, top, 0.0001f}};
      const PickRecord tag = Tag(5000 + static_cast<uintptr_t>(y));
      buffer.Rasterise(q[0], q[1], q[2], tag);
      queued.Queue(q[0], q[1], q[2], tag);
      reference.Rasterise(q[0], q[1], q[2], tag);
    }
    queued.Redraw();
    ASSERT_EQ(FirstDifference(buffer, reference), "") << "round " << round;
    ASSERT_EQ(FirstDifference(queued, reference), "") << "redrawn, round " << round;

    // Forgotten records take any depth again, as empty ones.
    for(uintptr_t n = 1; n <= 3000; n += 2)
      buffer.Forget(Tag(n).mesh);
    for(PickRecord &record : reference.records)
      if(const uintptr_t n = reinterpret_cast<uintptr_t>(record.mesh) / 64; n % 2 == 1 && n <= 3000)
      {
        record.depth = PickBuffer::EmptyDepth;
        record.mesh = nullptr;
        record.face = nullptr;
      }
    for(uintptr_t n = 1; n <= 300; ++n)
    {
      const Vector3 q[3] = {{sequence.Coordinate(-40, 680), sequence.Coordinate(-40, 520), 0.9f},
                            {sequence.Coordinate(-40, 680), sequence.Coordinate(-40, 520), 0.95f},
                            {sequence.Coordinate(-40, 680), sequence.Coordinate(-40, 520), 0.99f}};
      buffer.Rasterise(q[0], q[1], q[2], Tag(8000 + n));
      reference.Rasterise(q[0], q[1], q[2], Tag(8000 + n));
    }
    ASSERT_EQ(FirstDifference(buffer, reference), "") << "after forgetting, round " << round;
  }
}

// A redraw passes over triangles that lie wholly behind what is drawn
// already. Here each small triangle has its nearest corner at the depth of
// a wall drawn first (or of a layer drawn over it), or behind it by less than
// the triangle's change of depth per column, and steep depth across its rows:
// the columns a row takes beyond its ends (up to half a pixel when rounding,
// nearly two at the left edge of the buffer) come nearer than any
// corner, and those pixels must still be won; equal depths must still keep
// the earlier record.
TEST(PickExactness, TrianglesAtOrBehindWhatIsDrawnLoseOnlyWhatTheyShould)
{
  PickBuffer queued;
  ASSERT_TRUE(queued.Init(640, 480, 624, 464));
  ReferencePicks reference(640, 480, 624, 464);
  reference.Reset();
  Sequence sequence;
  std::vector<std::array<Vector3, 3>> triangles;
  // The wall, at one depth, and a layer over part of it, sloping in depth.
  triangles.push_back({Vector3(-10, -10, 0.5f), Vector3(700, -10, 0.5f), Vector3(-10, 600, 0.5f)});
  triangles.push_back({Vector3(700, -10, 0.5f), Vector3(700, 600, 0.5f), Vector3(-10, 600, 0.5f)});
  triangles.push_back({Vector3(200, 100, 0.3f), Vector3(500, 100, 0.4f), Vector3(200, 400, 0.3f)});
  const size_t drawnFirst = triangles.size();
  for(int n = 0; n < 4000; ++n)
  {
    const float w = sequence.Coordinate(0.5f, 12.f);
    const float h = sequence.Coordinate(0.5f, 12.f);
    // Anywhere, or left of the buffer with the right corner one to two
    // columns from it (column 0 is then the last of some rows).
    const bool atEdge = n % 5 == 1;
    const float x = atEdge ? sequence.Coordinate(-2.f, -1.f) - w : sequence.Coordinate(0.f, 620.f);
    const float y = sequence.Coordinate(0.f, 460.f);
    // The depth there of the wall or the layer: the layer's depth rises by
    // 0.1 over 300 columns from 0.3, and it covers x >= 200, y >= 100 up to
    // its diagonal.
    const bool onLayer = x >= 200.f && y >= 100.f && (x - 200.f) + (y - 100.f) <= 300.f;
    const float surface = onLayer ? 0.3f + (x - 200.f) * (0.1f / 300.f) : 0.5f;
    const float rise = sequence.Coordinate(0.f, 0.2f);
    const float behind = n % 7 == 0 ? 0.f : atEdge ? sequence.Coordinate(1.f, 2.f) : sequence.Coordinate(0.f, 1.f);
    const float base = surface + behind * rise / w;
    // The nearest corner on the left or on the right.
    if(n % 2 == 0)
      triangles.push_back({Vector3(x, y, base), Vector3(x + w, y + h * 0.5f, base + rise), Vector3(x, y + h, base)});
    else
      triangles.push_back(
        {Vector3(x, y, base + rise), Vector3(x + w, y + h * 0.5f, base), Vector3(x + w * 0.3f, y + h, base + rise)});
  }
  for(size_t i = 0; i < triangles.size(); ++i)
  {
    const auto &q = triangles[i];
    queued.Queue(q[0], q[1], q[2], Tag(i + 1));
    reference.Rasterise(q[0], q[1], q[2], Tag(i + 1));
  }
  queued.Redraw();
  ASSERT_EQ(FirstDifference(queued, reference), "");

  // The case is met: the small triangles won pixels, and fewer than half of
  // those they cover, most of them by a depth step beyond their ends.
  int won = 0;
  for(const PickRecord &record : reference.records)
    won += record.mesh && reinterpret_cast<uintptr_t>(record.mesh) / 64 > drawnFirst;
  EXPECT_GT(won, 200);
  EXPECT_LT(won, 20000);
}

// The model's refresh of a crowded scene, turned through several poses,
// steep ones included, and with cubes beside the eye whose corners project
// far off screen or behind it.
TEST_F(ModelTest, CrowdedRefreshMatchesTheReferenceInEveryRecordAndMark)
{
  Sequence sequence;
  for(int i = 0; i < 400; ++i)
  {
    Vector3 centre;
    if(i % 40 == 0)
    {
      // On the sphere the eye moves on.
      const float a = sequence.Coordinate(0.f, 6.2832f);
      const float b = sequence.Coordinate(-1.2f, 1.2f);
      const float r = sequence.Coordinate(860.f, 940.f);
      centre = Vector3(r * std::cos(b) * std::sin(a), r * std::sin(b), r * std::cos(b) * std::cos(a));
    }
    else if(i % 3 == 0)
      // Whole steps: neighbours share faces at equal depth.
      centre = Vector3(static_cast<float>(40 * sequence.Next(8) - 140), static_cast<float>(40 * sequence.Next(8) - 300),
                       static_cast<float>(40 * sequence.Next(8) - 140));
    else
      centre = Vector3(sequence.Coordinate(-300, 300), sequence.Coordinate(-300, 300), sequence.Coordinate(-300, 300));
    auto cube = std::make_unique<CubeMesh>();
    ASSERT_TRUE(cube->Build(device, centre, model.HalfSize(), RgbColour{200, 100, 50}));
    model.Add(cube.release());
  }

  const PickBuffer &picks = model.Picks();
  const PixelRect outlineArea = model.Outlines().Area();
  ReferencePicks reference(picks.Width(), picks.Height(), outlineArea.right, outlineArea.bottom);

  const float poses[][2] = {{0, 0},   {45, 30}, {30, 58}, {-80, -20}, {170, 0},  {10, -85}, {0, -4},
                            {90, 0},  {0, 0.5f}, {-33, 88}, {120, -30}, {200, 10}, {5, 3},   {-5, -90}};
  int marked = 0;
  for(const auto &pose : poses)
  {
    // The reference is worked out while the helpers still draw; reading the
    // records waits for them, and the outlines follow when asked for.
    Turn(pose[0], pose[1]);
    reference.Refresh(model, device);
    ASSERT_EQ(FirstDifference(picks, reference), "") << "after turning " << pose[0] << ", " << pose[1];
    const OutlineMask &outlines = model.Outlines();

    const std::vector<uint8_t> mask = reference.Mask(outlines.Area());
    for(int y = 0; y < picks.Height(); ++y)
      for(int x = 0; x < picks.Width(); ++x)
      {
        ASSERT_EQ(outlines.IsMarked(x, y), mask[static_cast<size_t>(y) * picks.Width() + x] != 0)
          << x << "," << y << " after turning " << pose[0] << ", " << pose[1];
        marked += mask[static_cast<size_t>(y) * picks.Width() + x];
      }

    // The overlay: each mark blackens its own texel and the one on its left.
    const PixelRect &area = outlines.Area();
    std::vector<uint32_t> texels(static_cast<size_t>(outlines.OverlayWidth()) * outlines.OverlayHeight(), 1u);
    outlines.WriteOverlay(texels.data(), outlines.OverlayWidth());
    for(int y = area.top; y < area.bottom; ++y)
      for(int c = 0; c < outlines.OverlayWidth(); ++c)
      {
        const int x = area.left - 1 + c;
        const bool black = (x >= area.left && outlines.IsMarked(x, y)) || (x + 1 < area.right && outlines.IsMarked(x + 1, y));
        ASSERT_EQ(texels[static_cast<size_t>(y - area.top) * outlines.OverlayWidth() + c], black ? 0xFF000000u : 0u)
          << c << "," << y;
      }
  }
  // The scene is crowded enough for the comparison to mean something.
  EXPECT_GT(marked, 20000);
}
