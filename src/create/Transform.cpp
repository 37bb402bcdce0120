#include "create/Transform.h"

#include <cmath>

Vector3 Transform::UnitOrSame(const Vector3 &v)
{
  const float length = v.Length();
  return length != 0.f ? v * (1.f / length) : v;
}

double Vector3d::Length() const
{
  return std::sqrt(Dot(*this));
}

Vector3d Transform::UnitOrSame(const Vector3d &v)
{
  const double length = v.Length();
  return length != 0.0 ? v * (1.0 / length) : v;
}

Vector3d Transform::RotateAboutAxis(const Vector3d &v, const Vector3d &axis, double angle)
{
  const Vector3d a = UnitOrSame(axis);
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double t = 1.0 - c;
  const double x = a.x, y = a.y, z = a.z;
  const Vector3d row0{t * x * x + c, t * x * y - s * z, t * x * z + s * y};
  const Vector3d row1{t * x * y + s * z, t * y * y + c, t * y * z - s * x};
  const Vector3d row2{t * x * z - s * y, t * y * z + s * x, t * z * z + c};
  return {row0.Dot(v), row1.Dot(v), row2.Dot(v)};
}

Matrix Transform::InverseAffine(const Matrix &m)
{
  const float(&a)[4][4] = m.m;
  // Cofactors of the upper-left 3x3 part, transposed (the adjugate).
  float inv[3][3] = {
    {a[1][1] * a[2][2] - a[1][2] * a[2][1], a[0][2] * a[2][1] - a[0][1] * a[2][2], a[0][1] * a[1][2] - a[0][2] * a[1][1]},
    {a[1][2] * a[2][0] - a[1][0] * a[2][2], a[0][0] * a[2][2] - a[0][2] * a[2][0], a[0][2] * a[1][0] - a[0][0] * a[1][2]},
    {a[1][0] * a[2][1] - a[1][1] * a[2][0], a[0][1] * a[2][0] - a[0][0] * a[2][1], a[0][0] * a[1][1] - a[0][1] * a[1][0]}};
  const float determinant = a[0][0] * inv[0][0] + a[0][1] * inv[1][0] + a[0][2] * inv[2][0];
  const float scale = determinant != 0.f ? 1.f / determinant : 0.f;

  Matrix r;
  for(int i = 0; i < 3; ++i)
    for(int j = 0; j < 3; ++j)
      r.m[i][j] = inv[i][j] * scale;
  for(int j = 0; j < 3; ++j)
    r.m[3][j] = -(a[3][0] * r.m[0][j] + a[3][1] * r.m[1][j] + a[3][2] * r.m[2][j]);
  r.m[3][3] = 1.f;
  return r;
}
