#include "ModelTestSupport.h"

#include "model/CubeMesh.h"

#include <cmath>

namespace {
  // A 2 by 2 viewport with an identity view and unit projection scales: the
  // ray of pixel (x, y) leaves the origin along (x - 1, 1 - y, 1).
  class SimplePickTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_TRUE(device.CreateHeadless());
      device.SetTransform(TransformKind::World, Matrix::Identity());
      device.SetTransform(TransformKind::View, Matrix::Identity());
      Matrix projection = Matrix::Identity();
      device.SetTransform(TransformKind::Projection, projection);
      device.SetViewport(Viewport{0, 0, 2, 2, 0.f, 1.f});
    }

    bool Pick(const CubeMesh &mesh, int face, uint8_t triangle, Vector3 &hit)
    {
      return mesh.Face(face).Pick(device, 1, 1, 640, 480, hit, triangle);
    }

    GraphicsDevice device;
  };
}

TEST_F(SimplePickTest, ARayThroughACornerOrAlongAnEdgeHits)
{
  // Face 0 of this cube has its corner c3 at (0, 0, 80), on the ray.
  CubeMesh corner;
  ASSERT_TRUE(corner.Build(device, Vector3(20, 20, 100), 20.f, RgbColour{}));
  Vector3 hit(7, 7, 7);
  EXPECT_TRUE(Pick(corner, 0, 1, hit));
  EXPECT_EQ(hit, Vector3(0, 0, 80));
  hit = Vector3(7, 7, 7);
  EXPECT_FALSE(Pick(corner, 0, 0, hit));
  EXPECT_EQ(hit, Vector3(7, 7, 7));

  // Here the ray meets the middle of edge c3-c0 of face 0, an edge of triangle 1 only.
  CubeMesh edge;
  ASSERT_TRUE(edge.Build(device, Vector3(20, 0, 100), 20.f, RgbColour{}));
  EXPECT_TRUE(Pick(edge, 0, 1, hit));
  EXPECT_EQ(hit, Vector3(0, 0, 80));
  EXPECT_FALSE(Pick(edge, 0, 0, hit));

  // On the shared diagonal both triangles hit.
  CubeMesh diagonal;
  ASSERT_TRUE(diagonal.Build(device, Vector3(0, 0, 100), 20.f, RgbColour{}));
  EXPECT_TRUE(Pick(diagonal, 0, 0, hit));
  EXPECT_TRUE(Pick(diagonal, 0, 1, hit));
  EXPECT_EQ(hit, Vector3(0, 0, 80));
}

TEST_F(SimplePickTest, AFaceSeenEdgeOnAndAFaceBesideTheRayMiss)
{
  // Face 1 of this cube lies in the plane x = 0, which contains the ray.
  CubeMesh cube;
  ASSERT_TRUE(cube.Build(device, Vector3(-20, 0, 100), 20.f, RgbColour{}));
  Vector3 hit;
  EXPECT_FALSE(Pick(cube, 1, 0, hit));
  EXPECT_FALSE(Pick(cube, 1, 1, hit));

  CubeMesh aside;
  ASSERT_TRUE(aside.Build(device, Vector3(20.1f, 0, 100), 20.f, RgbColour{}));
  EXPECT_FALSE(Pick(aside, 0, 1, hit));
  EXPECT_FALSE(Pick(aside, 0, 0, hit));
}

TEST_F(SimplePickTest, TheHitIsTakenBackThroughTheWorldMatrix)
{
  // A world matrix that moves everything 50 along x: the face drawn at
  // x = 50 is found, and the hit is the world point turned by its 3x3 part.
  Matrix world = Matrix::Identity();
  world.m[3][0] = -50.f;
  device.SetTransform(TransformKind::World, world);
  CubeMesh cube;
  ASSERT_TRUE(cube.Build(device, Vector3(50, 0, 100), 20.f, RgbColour{}));
  Vector3 hit;
  EXPECT_TRUE(Pick(cube, 0, 0, hit));
  EXPECT_EQ(hit, Vector3(0, 0, 80));
}

TEST_F(ModelTest, CentrePixelOfTheModelAreaCastsTheRayFromTheEyeThroughTheTarget)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  const CubeFace &front = model.At(1)->Face(2);
  Vector3 hit;
  ASSERT_TRUE(front.Pick(device, 371, 296, 640, 480, hit, 0));
  EXPECT_NEAR(hit.x, 0.f, 1e-4f);
  EXPECT_NEAR(hit.y, 0.f, 1e-4f);
  EXPECT_NEAR(hit.z, 20.f, 0.001f);

  // From a pose looking down on the top face: the hit lies on the line from
  // the eye to the origin.
  Turn(0, 60);
  const CubeFace &top = model.At(1)->Face(4);
  ASSERT_TRUE(top.Pick(device, 371, 296, 640, 480, hit, 0) || top.Pick(device, 371, 296, 640, 480, hit, 1));
  const Vector3 expected = camera.Eye() * (1.f - (camera.Eye().y - 20.f) / camera.Eye().y);
  EXPECT_NEAR(hit.x, expected.x, 0.01f);
  EXPECT_NEAR(hit.y, 20.f, 0.001f);
  EXPECT_NEAR(hit.z, expected.z, 0.01f);
}

TEST_F(ModelTest, ThePickBuffersTriangleHitsAndTheOtherTriangleMisses)
{
  Turn(45, 30);
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  const CubeFace &face = model.At(1)->Face(2);
  const Vector3 corners[4] = {face.CornerPosition(0), face.CornerPosition(1), face.CornerPosition(2),
                              face.CornerPosition(3)};
  const Vector3 normal = face.Normal();
  const float area0 = face.Area0(), area1 = face.Area1();

  // Pixels whose neighbours show the same face lie well inside it: the ray
  // meets the recorded triangle, or (next to the diagonal) the other one.
  int hits = 0, misses = 0;
  for(int y = 129; y < 463; ++y)
    for(int x = 119; x < 623; ++x)
    {
      const PickRecord &r = model.RecordAt(x, y);
      if(r.face != &face || model.RecordAt(x - 1, y).face != &face || model.RecordAt(x + 1, y).face != &face ||
         model.RecordAt(x, y - 1).face != &face || model.RecordAt(x, y + 1).face != &face)
        continue;
      Vector3 hit(1, 2, 3);
      if(!face.Pick(device, x, y, 640, 480, hit, r.triangle))
      {
        EXPECT_EQ(hit, Vector3(1, 2, 3));
        ASSERT_TRUE(face.Pick(device, x, y, 640, 480, hit, r.triangle ^ 1)) << x << "," << y;
        ASSERT_LT(std::fabs(hit.x - hit.y), 3.f) << x << "," << y;
        continue;
      }
      EXPECT_NEAR(hit.z, 20.f, 0.001f);
      ++hits;
      // More than two pixels from the diagonal (x = y on this face) the other triangle misses.
      if(std::fabs(hit.x - hit.y) > 5.f)
      {
        Vector3 other(1, 2, 3);
        ASSERT_FALSE(face.Pick(device, x, y, 640, 480, other, r.triangle ^ 1)) << x << "," << y;
        EXPECT_EQ(other, Vector3(1, 2, 3));
        ++misses;
      }
    }
  EXPECT_GT(hits, 100);
  EXPECT_GT(misses, 50);
  for(int c = 0; c < 4; ++c)
    EXPECT_EQ(face.CornerPosition(c), corners[c]);
  EXPECT_EQ(face.Normal(), normal);
  EXPECT_EQ(face.Area0(), area0);
  EXPECT_EQ(face.Area1(), area1);
}
