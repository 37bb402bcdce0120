#include "create/OrbitCamera.h"

#include "create/Transform.h"
#include "gfx/GraphicsDevice.h"

#include <cmath>

namespace {
  const Vector3 Up(0.f, 1.f, 0.f);

  // True when a look-at along `offset` still has a horizontal direction to
  // build its sideways axis from (an offset on the vertical has none).
  bool HasHorizontalPart(const Vector3 &offset)
  {
    const Vector3 direction = offset.Normalized();
    return Up.Cross(direction).LengthSquared() > 1.1754944e-38f;
  }
}

bool OrbitCamera::Init(GraphicsDevice &device, int windowWidth, int windowHeight)
{
  graphicsDevice = &device;
  const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
  device.SetTransform(TransformKind::Projection, Matrix::PerspectiveFovLH(0.7853982f, aspect, 1.f, 2000.f));
  eye = Vector3(0.f, 0.f, Distance);
  target = Vector3();
  view = Matrix::LookAtLH(eye, target, Up);
  device.SetTransform(TransformKind::World, Matrix::Identity());
  return true;
}

void OrbitCamera::Rotate(float yaw, float pitch)
{
  const Vector3 d = eye - target;
  const float dist = d.Length();

  const float a = yaw * Transform::DegreeFactor;
  const float ca = std::cos(a);
  const float sa = std::sin(a);
  const Vector3 d1(d.x * ca - d.z * sa, d.y, d.x * sa + d.z * ca);

  const Vector3 h = Transform::UnitOrSame(Vector3(d1.x, 0.f, d1.z));
  const Vector3 n = Transform::UnitOrSame(d1);
  const Vector3 axis(-n.z, 0.f, n.x);
  Vector3 d2 = Transform::RotateAboutAxis(d1, axis, pitch * Transform::DegreeFactor);

  // Crossing the vertical flips the horizontal direction of the offset; an
  // offset on the vertical itself would leave the look-at without a sideways
  // axis. Either way only the up-down part of the turn is dropped.
  if(!(h.Dot(d2) > 0.f) || !HasHorizontalPart(d2))
    d2 = d1;

  eye = target + Transform::UnitOrSame(d2) * dist;
  view = Matrix::LookAtLH(eye, target, Up);
}

void OrbitCamera::Apply() const
{
  if(graphicsDevice)
    graphicsDevice->SetTransform(TransformKind::View, view);
}
