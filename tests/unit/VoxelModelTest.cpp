#include "ModelTestSupport.h"

#include "model/PaletteColour.h"
#include "model/RoomMesh.h"
#include "res/Texture.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

namespace {
  RgbColour TexelOf(const CubeMesh &mesh, int face, int tx, int ty)
  {
    const DibImage &image = *mesh.FaceTexture(face)->Backing();
    const uint8_t *p = image.Data() + (static_cast<size_t>(ty) * image.Width() + tx) * 3;
    return {p[0], p[1], p[2]};
  }

  // The meshes and a digest of their texels.
  struct Snapshot {
    std::vector<const CubeMesh *> meshes;
    std::vector<uint64_t> sums;
    explicit Snapshot(const VoxelModel &model)
    {
      for(int i = 0; i < model.Count(); ++i)
      {
        meshes.push_back(model.At(i));
        for(int f = 0; f < 6; ++f)
        {
          const DibImage &image = *model.At(i)->FaceTexture(f)->Backing();
          const size_t bytes = static_cast<size_t>(image.Width()) * image.Height() * 3;
          sums.push_back(
            std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char *>(image.Data()), bytes)));
        }
      }
    }
    bool operator==(const Snapshot &) const = default;
  };

  uint32_t DeviceTexel(const CubeMesh &mesh, int face, int tx, int ty)
  {
    const DeviceTexture &texture = *mesh.FaceTexture(face)->Get();
    std::vector<uint32_t> texels(static_cast<size_t>(texture.Width()) * texture.Height());
    texture.Read(texels.data());
    return texels[static_cast<size_t>(ty) * texture.Width() + tx];
  }
}

TEST(TexelAt, TruncatesAndRefusesWhatLiesOutsideTheImage)
{
  int tx = -1, ty = -1;
  ASSERT_TRUE(VoxelModel::TexelAt({0.05f, 0.05f}, 64, 64, 64, tx, ty));
  EXPECT_EQ(tx, 3);
  EXPECT_EQ(ty, 3);
  ASSERT_TRUE(VoxelModel::TexelAt({0.05f, 0.099f}, 64, 64, 64, tx, ty));
  EXPECT_EQ(tx, 3);
  EXPECT_EQ(ty, 6);
  ASSERT_TRUE(VoxelModel::TexelAt({0.1f, 0.1f}, 1024, 1024, 1024, tx, ty));
  EXPECT_EQ(tx, 102);
  EXPECT_EQ(ty, 102);
  ASSERT_TRUE(VoxelModel::TexelAt({0.99999f, 0.f}, 64, 64, 64, tx, ty));
  EXPECT_EQ(tx, 63);

  tx = ty = -1;
  EXPECT_FALSE(VoxelModel::TexelAt({1.f, 0.5f}, 64, 64, 64, tx, ty));
  EXPECT_FALSE(VoxelModel::TexelAt({0.5f, 1.f}, 64, 64, 64, tx, ty));
  EXPECT_FALSE(VoxelModel::TexelAt({-0.01f, 0.5f}, 64, 64, 64, tx, ty));
  EXPECT_FALSE(VoxelModel::TexelAt({0.5f, 1.01f}, 64, 64, 64, tx, ty));
  EXPECT_FALSE(VoxelModel::TexelAt({std::numeric_limits<float>::quiet_NaN(), 0.5f}, 64, 64, 64, tx, ty));
  // A record's size larger than the image cannot reach past it either.
  EXPECT_FALSE(VoxelModel::TexelAt({0.5f, 0.5f}, 1024, 64, 64, tx, ty));
  EXPECT_EQ(tx, -1);
  EXPECT_EQ(ty, -1);
}

TEST_F(ModelTest, InitLeavesTheRoomAloneAroundTheOrigin)
{
  ASSERT_EQ(model.Count(), 1);
  const CubeMesh &room = *model.At(0);
  EXPECT_NE(dynamic_cast<const RoomMesh *>(&room), nullptr);
  EXPECT_EQ(room.Centre(), Vector3());
  EXPECT_EQ(room.TextureSize(), 1024);
  EXPECT_EQ(room.Face(0).CornerPosition(0), Vector3(-320, -320, -320));
  EXPECT_TRUE(model.Contains(118, 128));
  EXPECT_TRUE(model.Contains(623, 463));
  EXPECT_FALSE(model.Contains(117, 200));
  EXPECT_FALSE(model.Contains(624, 200));
  EXPECT_FALSE(model.Contains(200, 464));
}

TEST(VoxelModelInit, RefusesARectangleOutsideTheBuffer)
{
  GraphicsDevice device;
  ASSERT_TRUE(device.CreateHeadless());
  VoxelModel model;
  VoxelModelSetup setup;
  setup.device = &device;
  setup.width = 600;
  EXPECT_FALSE(model.Init(setup));
  EXPECT_EQ(model.Count(), 0);
  setup.width = 506;
  setup.device = nullptr;
  EXPECT_FALSE(model.Init(setup));
}

TEST_F(ModelTest, CubesKeepPlacingOrderAndRemovalKeepsTheRest)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{255, 0, 0}));
  ASSERT_TRUE(model.AddCube(Vector3(10, 0, 0), RgbColour{0, 255, 0}));
  ASSERT_TRUE(model.AddCube(Vector3(400, 0, 0), RgbColour{0, 0, 255}));
  ASSERT_EQ(model.Count(), 4);
  CubeMesh *first = model.At(1), *second = model.At(2), *third = model.At(3);
  EXPECT_EQ(second->Centre(), Vector3(10, 0, 0));
  EXPECT_EQ(TexelOf(*second, 3, 40, 40), (RgbColour{0, 255, 0}));

  EXPECT_TRUE(model.RemoveCube(second));
  ASSERT_EQ(model.Count(), 3);
  EXPECT_EQ(model.At(1), first);
  EXPECT_EQ(model.At(2), third);
  EXPECT_FALSE(model.RemoveCube(second));
  EXPECT_FALSE(model.RemoveCube(nullptr));
  EXPECT_EQ(model.Count(), 3);

  // No record may keep pointing at the removed cube.
  for(int i = 0; i < 640 * 480; ++i)
    ASSERT_NE(model.Picks().At(i % 640, i / 640).mesh, second);

  model.Clear();
  EXPECT_EQ(model.Count(), 0);
  EXPECT_EQ(model.RecordAt(371, 296).face, nullptr);
  EXPECT_FALSE(model.PaintAt(device, 371, 296, RgbColour{}));
  EXPECT_FALSE(model.EraseAt(371, 296));
}

TEST_F(ModelTest, ACubeMustHaveAFiniteCentre)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(model.AddCube(Vector3(nan, 0, 0), RgbColour{}));
  EXPECT_FALSE(model.AddCube(Vector3(0, std::numeric_limits<float>::infinity(), 0), RgbColour{}));
  EXPECT_EQ(model.Count(), 1);
}

TEST_F(ModelTest, PenAtAFaceCentrePaintsTexelThreeThree)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{255, 255, 255}));
  const CubeMesh &cube = *model.At(1);
  ASSERT_EQ(model.RecordAt(371, 296).face, &cube.Face(2));
  const Vector2 uv = cube.Face(2).TexcoordAt(Vector3(0, 0, 20), 0);
  EXPECT_NEAR(uv.x, 0.05f, 1e-6f);
  EXPECT_NEAR(uv.y, 0.05f, 1e-6f);
  EXPECT_EQ(cube.Face(2).TexcoordAt(Vector3(0, 0, 20), 1).x, uv.x);

  ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::Red)));
  EXPECT_EQ(TexelOf(cube, 2, 3, 3), (RgbColour{255, 0, 0}));
  EXPECT_EQ(DeviceTexel(cube, 2, 3, 3), 0xFFFF0000u);
  EXPECT_EQ(TexelOf(cube, 2, 3, 4), (RgbColour{255, 255, 255}));
  EXPECT_EQ(TexelOf(cube, 0, 3, 3), (RgbColour{255, 255, 255}));

  // Painting again changes the same texel to the new colour.
  ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::Blue)));
  EXPECT_EQ(TexelOf(cube, 2, 3, 3), (RgbColour{0, 0, 255}));
  EXPECT_EQ(DeviceTexel(cube, 2, 3, 3), 0xFF0000FFu);
}

TEST_F(ModelTest, InterpolatedCoordinatesFollowTheCorners)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  const CubeFace &face = model.At(1)->Face(0);
  // Face 0: c0 (-20, 20) at (0, 0) ... c2 (20, -20) at (0.1, 0.1); below the
  // diagonal is triangle 1.
  const Vector2 uv = face.TexcoordAt(Vector3(0, -19.6f, -20), 1);
  EXPECT_NEAR(uv.x, 0.05f, 1e-6f);
  EXPECT_NEAR(uv.y, 0.099f, 1e-6f);
  int tx = 0, ty = 0;
  ASSERT_TRUE(VoxelModel::TexelAt(uv, 64, 64, 64, tx, ty));
  EXPECT_EQ(tx, 3);
  EXPECT_EQ(ty, 6);
  // The room's corners carry their texcoords reversed.
  const CubeFace &wall = model.At(0)->Face(0);
  const Vector2 corner = wall.TexcoordAt(wall.CornerPosition(0), 0);
  EXPECT_NEAR(corner.x, 0.f, 1e-6f);
  EXPECT_NEAR(corner.y, 0.1f, 1e-6f);
  // Outside the triangle the weights add up to more than one.
  const Vector2 outside = face.TexcoordAt(Vector3(60, 60, -20), 0);
  EXPECT_GT(outside.x + outside.y, 0.2f);
}

TEST_F(ModelTest, PenOutsideTheRectangleOrOverNothingChangesNothing)
{
  model.RefreshPickBuffer(device);
  const Snapshot before(model);
  // Pixels just outside the rectangle show the room in the pick buffer, but are not edited.
  EXPECT_FALSE(model.PaintAt(device, 117, 296, RgbColour{}));
  EXPECT_FALSE(model.PaintAt(device, 624, 296, RgbColour{}));
  EXPECT_FALSE(model.PaintAt(device, 371, 127, RgbColour{}));
  EXPECT_FALSE(model.PaintAt(device, 371, 464, RgbColour{}));
  EXPECT_FALSE(model.PlaceCubeAt(117, 296, RgbColour{}));
  EXPECT_FALSE(model.PaintAt(device, -5, 100000, RgbColour{}));
  EXPECT_TRUE(Snapshot(model) == before);
  EXPECT_EQ(model.Count(), 1);
}

TEST_F(ModelTest, PenOnARoomWallPaintsItsTexel)
{
  model.RefreshPickBuffer(device);
  // The far wall (room face 0, z = -320) is seen at the centre of the view.
  ASSERT_TRUE(model.PaintAt(device, 371, 296, RgbColour{0, 255, 0}));
  // The centre of the wall: texcoord (0.05, 0.05) of 1024 texels.
  EXPECT_EQ(TexelOf(*model.At(0), 0, 51, 51), (RgbColour{0, 255, 0}));
  EXPECT_EQ(DeviceTexel(*model.At(0), 0, 51, 51), 0xFF00FF00u);
}

TEST_F(ModelTest, CubeOnATopFaceStandsOnItCentredOnTheClickedPoint)
{
  Turn(45, 30);
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  int x = 0, y = 0;
  ASSERT_TRUE(FindPixel([&](const PickRecord &r) { return r.mesh == model.At(1) && r.faceIndex == 4; }, x, y));
  // Aim at a pixel well inside the face.
  x += 3;
  y += 6;
  const PickRecord record = model.RecordAt(x, y);
  ASSERT_EQ(record.face, &model.At(1)->Face(4));
  Vector3 point;
  ASSERT_TRUE(record.face->Pick(device, x, y, 640, 480, point, record.triangle));
  EXPECT_NEAR(point.y, 20.f, 0.001f);

  ASSERT_TRUE(model.PlaceCubeAt(x, y, PaletteRgb(PaletteColour::Magenta)));
  ASSERT_EQ(model.Count(), 3);
  EXPECT_EQ(model.At(2)->Centre(), Vector3(point.x, point.y + 20.f, point.z));
  EXPECT_EQ(TexelOf(*model.At(2), 1, 0, 0), (RgbColour{255, 0, 255}));
  // The new cube is in the pick buffer at once.
  EXPECT_EQ(model.RecordAt(x, y).mesh, model.At(2));
}

TEST_F(ModelTest, CubeOnTheRoomFloorStandsOnTheFloor)
{
  Turn(45, 30);
  int x = 0, y = 0;
  ASSERT_TRUE(FindPixel([&](const PickRecord &r) { return r.textureSize == 1024 && r.faceIndex == 5; }, x, y));
  y += 5;
  const PickRecord record = model.RecordAt(x, y);
  ASSERT_EQ(record.face, &model.At(0)->Face(5));
  Vector3 point;
  ASSERT_TRUE(record.face->Pick(device, x, y, 640, 480, point, record.triangle));
  EXPECT_NEAR(point.y, -320.f, 0.01f);
  ASSERT_TRUE(model.PlaceCubeAt(x, y, RgbColour{}));
  ASSERT_EQ(model.Count(), 2);
  EXPECT_EQ(model.At(1)->Centre(), Vector3(point.x, point.y + 20.f, point.z));
}

TEST_F(ModelTest, EraserRemovesTheCubeUnderItAndRevealsTheOneBehind)
{
  model.RefreshPickBuffer(device);
  EXPECT_FALSE(model.EraseAt(371, 296));
  EXPECT_EQ(model.Count(), 1);

  ASSERT_TRUE(model.AddCube(Vector3(0, 0, -100), RgbColour{}));
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  CubeMesh *behind = model.At(1);
  ASSERT_EQ(model.RecordAt(371, 296).mesh, model.At(2));
  EXPECT_FALSE(model.EraseAt(100, 296));
  ASSERT_TRUE(model.EraseAt(371, 296));
  ASSERT_EQ(model.Count(), 2);
  EXPECT_EQ(model.At(1), behind);
  EXPECT_EQ(model.RecordAt(371, 296).mesh, behind);
  ASSERT_TRUE(model.EraseAt(371, 296));
  EXPECT_EQ(model.Count(), 1);
  EXPECT_EQ(model.RecordAt(371, 296).mesh, model.At(0));
}
