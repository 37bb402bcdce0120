#include "create/OrbitCamera.h"
#include "create/Transform.h"
#include "gfx/GraphicsDevice.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
  class OrbitCameraTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
      ASSERT_TRUE(device.CreateHeadless());
      ASSERT_TRUE(camera.Init(device, 640, 480));
    }

    void ExpectEye(const Vector3 &expected, float tolerance = 0.002f)
    {
      EXPECT_NEAR(camera.Eye().x, expected.x, tolerance);
      EXPECT_NEAR(camera.Eye().y, expected.y, tolerance);
      EXPECT_NEAR(camera.Eye().z, expected.z, tolerance);
      EXPECT_NEAR(camera.Eye().Length(), 900.f, 0.01f);
    }

    float ElevationDegrees() const
    {
      const Vector3 e = camera.Eye();
      return static_cast<float>(std::atan2(e.y, std::hypot(e.x, e.z)) * 180.0 / M_PI);
    }

    GraphicsDevice device;
    OrbitCamera camera;
  };
}

TEST(Transform, InverseAffineUndoesALookAtMatrix)
{
  const Matrix view = Matrix::LookAtLH({-551.135f, 450.f, 551.135f}, {}, {0, 1, 0});
  const Matrix product = view * Transform::InverseAffine(view);
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
      EXPECT_NEAR(product.m[i][j], i == j ? 1.f : 0.f, 1e-4f) << i << "," << j;
  // The inverse's translation row is the eye.
  const Matrix inverse = Transform::InverseAffine(view);
  EXPECT_NEAR(inverse.m[3][0], -551.135f, 0.01f);
  EXPECT_NEAR(inverse.m[3][1], 450.f, 0.01f);
  EXPECT_NEAR(inverse.m[3][2], 551.135f, 0.01f);
}

TEST_F(OrbitCameraTest, InitSetsProjectionWorldAndStartingPose)
{
  EXPECT_EQ(camera.Eye(), Vector3(0, 0, 900));
  EXPECT_EQ(camera.Target(), Vector3());
  EXPECT_EQ(camera.View(), Matrix::LookAtLH({0, 0, 900}, {}, {0, 1, 0}));
  EXPECT_EQ(device.GetTransform(TransformKind::Projection),
            Matrix::PerspectiveFovLH(0.7853982f, 640.f / 480.f, 1.f, 2000.f));
  EXPECT_EQ(device.GetTransform(TransformKind::World), Matrix::Identity());
  // The view reaches the device only through Apply.
  EXPECT_FALSE(device.GetTransform(TransformKind::View) == camera.View());
  camera.Apply();
  EXPECT_EQ(device.GetTransform(TransformKind::View), camera.View());

  OrbitCamera unused;
  unused.Apply();
}

TEST_F(OrbitCameraTest, SingleTurnsFromTheStartingPose)
{
  camera.Rotate(10, 0);
  ExpectEye({-156.283f, 0, 886.327f});
  ASSERT_TRUE(camera.Init(device, 640, 480));
  camera.Rotate(0, 10);
  ExpectEye({0, 156.283f, 886.327f});
  ASSERT_TRUE(camera.Init(device, 640, 480));
  camera.Rotate(0, -10);
  ExpectEye({0, -156.283f, 886.327f});
  EXPECT_EQ(camera.View(), Matrix::LookAtLH(camera.Eye(), {}, {0, 1, 0}));
}

TEST_F(OrbitCameraTest, StartTurnThenSixtyStepsUpStopsShortOfTheTop)
{
  camera.Rotate(45, 30);
  ExpectEye({-551.135f, 450.f, 551.135f});
  for(int i = 0; i < 60; ++i)
    camera.Rotate(0, 1);
  EXPECT_NEAR(ElevationDegrees(), 89.99998f, 0.00002f);
  EXPECT_GT(camera.Eye().y, 0.f);
  const Vector3 top = camera.Eye();
  camera.Rotate(0, 1);
  EXPECT_EQ(camera.Eye(), top);
  // Sideways turns still work up there, and the view stays well formed.
  camera.Rotate(30, 1);
  EXPECT_NE(camera.Eye(), top);
  EXPECT_NEAR(camera.Eye().y, top.y, 0.001f);
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
      EXPECT_TRUE(std::isfinite(camera.View().m[i][j]));
  // Turning back down is allowed.
  camera.Rotate(0, -10);
  EXPECT_NEAR(ElevationDegrees(), 80.f, 0.01f);
}

TEST_F(OrbitCameraTest, APitchAcrossTheVerticalIsRefusedWholeButItsYawApplies)
{
  camera.Rotate(0, 100);
  EXPECT_EQ(camera.Eye(), Vector3(0, 0, 900));
  camera.Rotate(0, -100);
  EXPECT_EQ(camera.Eye(), Vector3(0, 0, 900));
  camera.Rotate(10, 100);
  ExpectEye({-156.283f, 0, 886.327f});
}

TEST_F(OrbitCameraTest, ZeroTurnKeepsThePose)
{
  camera.Rotate(45, 30);
  const Vector3 before = camera.Eye();
  const Matrix view = camera.View();
  camera.Rotate(0, 0);
  EXPECT_NEAR(camera.Eye().x, before.x, 0.001f);
  EXPECT_NEAR(camera.Eye().y, before.y, 0.001f);
  EXPECT_NEAR(camera.Eye().z, before.z, 0.001f);
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
      EXPECT_NEAR(camera.View().m[i][j], view.m[i][j], 1e-4f);
}

TEST_F(OrbitCameraTest, ManySmallTurnsKeepTheDistance)
{
  for(int i = 0; i < 2000; ++i)
    camera.Rotate(3.7f, i % 7 == 0 ? 1.3f : -0.4f);
  EXPECT_NEAR(camera.Eye().Length(), 900.f, 0.01f);
}
