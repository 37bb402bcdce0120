#include "gfx/GraphicsDevice.h"
#include "model/CubeMesh.h"
#include "model/RoomMesh.h"
#include "res/Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
  Vector3 At(const CubeMesh &mesh, int face, int corner)
  {
    return mesh.Face(face).CornerPosition(corner);
  }

  std::vector<uint32_t> Texels(const Texture &texture)
  {
    std::vector<uint32_t> texels(static_cast<size_t>(texture.Get()->Width()) * texture.Get()->Height());
    texture.Get()->Read(texels.data());
    return texels;
  }

  class MeshTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(device.CreateHeadless()); }
    GraphicsDevice device;
  };
}

TEST_F(MeshTest, CubeAtTheOriginHasTheTabledCornersNormalsAndAreas)
{
  CubeMesh cube;
  ASSERT_TRUE(cube.Build(device, Vector3(), 20.f, RgbColour{255, 0, 0}));
  EXPECT_EQ(cube.TextureSize(), 64);

  EXPECT_EQ(At(cube, 0, 0), Vector3(-20, 20, -20));
  EXPECT_EQ(At(cube, 0, 1), Vector3(20, 20, -20));
  EXPECT_EQ(At(cube, 0, 2), Vector3(20, -20, -20));
  EXPECT_EQ(At(cube, 0, 3), Vector3(-20, -20, -20));

  // Each face lies in its plane; normals point toward the centre.
  const Vector3 inward[6] = {{0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
  for(int f = 0; f < 6; ++f)
  {
    SCOPED_TRACE(f);
    EXPECT_EQ(cube.Face(f).Normal(), inward[f]);
    EXPECT_FLOAT_EQ(cube.Face(f).Area0(), 1600.f);
    EXPECT_FLOAT_EQ(cube.Face(f).Area1(), 1600.f);
    for(int c = 0; c < 4; ++c)
      EXPECT_FLOAT_EQ(At(cube, f, c).Dot(inward[f]), -20.f);
    // The corners are the mesh's vertices 4f..4f+3 and carry the cube's texcoords.
    EXPECT_EQ(&cube.Face(f).Corner(0), &cube.VertexAt(4 * f));
    EXPECT_EQ(cube.Face(f).Corner(0).u, 0.f);
    EXPECT_EQ(cube.Face(f).Corner(1).u, 0.1f);
    EXPECT_EQ(cube.Face(f).Corner(2).v, 0.1f);
    EXPECT_EQ(cube.Face(f).Corner(3).v, 0.1f);
    EXPECT_EQ(cube.Face(f).Corner(3).u, 0.f);
  }
  // Face 4 is the top, face 5 the bottom.
  EXPECT_EQ(At(cube, 4, 2), Vector3(20, 20, -20));
  EXPECT_EQ(At(cube, 5, 2), Vector3(20, -20, 20));
}

TEST_F(MeshTest, RoomReversesEachFaceAndKeepsTexcoordsWithTheirPoints)
{
  RoomMesh room;
  ASSERT_TRUE(room.BuildRoom(device, Vector3(), 320.f));
  EXPECT_EQ(room.TextureSize(), 1024);
  CubeMesh cube;
  ASSERT_TRUE(cube.Build(device, Vector3(), 320.f, RgbColour{}));

  EXPECT_EQ(At(room, 0, 0), Vector3(-320, -320, -320));
  EXPECT_EQ(room.Face(0).Corner(0).u, 0.f);
  EXPECT_EQ(room.Face(0).Corner(0).v, 0.1f);
  float lowest = 0.f, highest = 0.f;
  for(int f = 0; f < 6; ++f)
  {
    SCOPED_TRACE(f);
    for(int c = 0; c < 4; ++c)
    {
      EXPECT_EQ(At(room, f, c), At(cube, f, 3 - c));
      EXPECT_EQ(room.Face(f).Corner(c).u, cube.Face(f).Corner(3 - c).u);
      EXPECT_EQ(room.Face(f).Corner(c).v, cube.Face(f).Corner(3 - c).v);
      const Vector3 p = At(room, f, c);
      for(float v : {p.x, p.y, p.z})
      {
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
      }
    }
    // The room's normals point away from its centre.
    EXPECT_EQ(room.Face(f).Normal(), cube.Face(f).Normal() * -1.f);
    EXPECT_FLOAT_EQ(room.Face(f).Area0(), 640.f * 640.f);
  }
  EXPECT_EQ(lowest, -320.f);
  EXPECT_EQ(highest, 320.f);
}

TEST_F(MeshTest, FreshTexturesHoldTheBuildColourInTheImageAndInTheKeptTexels)
{
  CubeMesh cube;
  ASSERT_TRUE(cube.Build(device, Vector3(), 20.f, RgbColour{198, 10, 20}));
  for(int f = 0; f < 6; ++f)
  {
    const Texture &texture = *cube.FaceTexture(f);
    EXPECT_EQ(cube.Face(f).GetTexture(), &texture);
    // The device keeps the texels 0..6 of each row and column, and the last.
    const std::vector<uint32_t> texels = Texels(texture);
    ASSERT_EQ(texels.size(), 64u * 64u);
    for(int y = 0; y < 64; ++y)
      for(int x = 0; x < 64; ++x)
      {
        const bool kept = (x < 7 || x == 63) && (y < 7 || y == 63);
        ASSERT_EQ(texels[static_cast<size_t>(y) * 64 + x], kept ? 0xFFC60A14u : 0u) << x << "," << y;
      }
    // The image behind it is whole.
    const uint8_t *bytes = texture.Backing()->Data();
    for(int i = 0; i < 64 * 64; ++i)
      ASSERT_TRUE(bytes[3 * i] == 198 && bytes[3 * i + 1] == 10 && bytes[3 * i + 2] == 20);
  }
}

TEST_F(MeshTest, WrittenFacesReadBackIntoAFreshMesh)
{
  CubeMesh source;
  ASSERT_TRUE(source.Build(device, Vector3(1.5f, -2.f, 3.f), 20.f, RgbColour{255, 255, 255}));
  for(int f = 0; f < 6; ++f)
  {
    uint8_t *bytes = source.FaceTexture(f)->Backing()->Data();
    for(int i = 0; i < 64 * 64 * 3; ++i)
      bytes[i] = static_cast<uint8_t>(i * 7 + f);
  }
  std::FILE *file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(source.WriteFaces(file));
  EXPECT_EQ(std::ftell(file), 12 + 6 * 64 * 64 * 3);

  std::rewind(file);
  std::vector<uint8_t> record(12 + 6 * 64 * 64 * 3);
  ASSERT_EQ(std::fread(record.data(), 1, record.size(), file), record.size());
  std::fclose(file);
  float centre[3] = {};
  std::memcpy(centre, record.data(), sizeof centre);
  EXPECT_EQ(Vector3(centre[0], centre[1], centre[2]), source.Centre());

  CubeMesh copy;
  ASSERT_TRUE(copy.Build(device, source.Centre(), 20.f, RgbColour{255, 255, 255}));
  EXPECT_EQ(copy.FaceBytes(), record.size() - 12);
  ASSERT_TRUE(copy.ReadFaces(record.data() + 12, device));
  for(int f = 0; f < 6; ++f)
  {
    SCOPED_TRACE(f);
    EXPECT_EQ(0, std::memcmp(copy.FaceTexture(f)->Backing()->Data(), source.FaceTexture(f)->Backing()->Data(),
                             64 * 64 * 3));
    // What was read is on the device too.
    EXPECT_EQ(Texels(*copy.FaceTexture(f))[1], 0xFF000000u | (uint32_t(uint8_t(3 * 7 + f)) << 16) |
                                                 (uint32_t(uint8_t(4 * 7 + f)) << 8) | uint8_t(5 * 7 + f));
  }

  // A mesh that was never built has nowhere to put texels.
  CubeMesh unbuilt;
  EXPECT_FALSE(unbuilt.ReadFaces(record.data() + 12, device));
}
