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
  // The turn is worked out in double precision; only the eye is stored in
  // single precision. Rounding then stays far below the guard's margin, so
  // sixty one-degree steps up from 30 degrees end just short of the top.
  const Vector3d d{static_cast<double>(eye.x) - target.x, static_cast<double>(eye.y) - target.y,
                   static_cast<double>(eye.z) - target.z};
  const double dist = d.Length();

  const double a = static_cast<double>(yaw * Transform::DegreeFactor);
  const double ca = std::cos(a);
  const double sa = std::sin(a);
  const Vector3d d1{d.x * ca - d.z * sa, d.y, d.x * sa + d.z * ca};

  const Vector3d h = Transform::UnitOrSame(Vector3d{d1.x, 0.0, d1.z});
  const Vector3d n = Transform::UnitOrSame(d1);
  const Vector3d axis{-n.z, 0.0, n.x};
  Vector3d d2 = Transform::RotateAboutAxis(d1, axis, static_cast<double>(pitch * Transform::DegreeFactor));

  // Crossing the vertical flips the horizontal direction of the offset; an
  // offset on the vertical itself would leave the look-at without a sideways
  // axis. Either way only the up-down part of the turn is dropped.
  const Vector3d unit = Transform::UnitOrSame(d2);
  if(!(h.Dot(d2) > 0.0) || !HasHorizontalPart(Vector3(static_cast<float>(unit.x), static_cast<float>(unit.y),
                                                      static_cast<float>(unit.z))))
    d2 = d1;

  const Vector3d offset = Transform::UnitOrSame(d2) * dist;
  eye = Vector3(static_cast<float>(target.x + offset.x), static_cast<float>(target.y + offset.y),
                static_cast<float>(target.z + offset.z));
  view = Matrix::LookAtLH(eye, target, Up);
}

void OrbitCamera::Apply() const
{
  if(graphicsDevice)
    graphicsDevice->SetTransform(TransformKind::View, view);
}
