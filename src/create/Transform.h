#pragma once

#include "gfx/Matrix.h"
#include "gfx/Vector3.h"

// A direction or offset in double precision, for turns that are applied
// many times over (the camera), so that rounding does not pile up.
struct Vector3d {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  constexpr double Dot(const Vector3d &o) const { return x * o.x + y * o.y + z * o.z; }
  double Length() const;
  constexpr Vector3d operator*(double s) const { return {x * s, y * s, z * s}; }
};

// Vector and matrix helpers of the camera and of ray picking, in single
// precision and the row-vector layout of Matrix.
namespace Transform {
  // Degrees to radians, the single-precision factor used everywhere (0x3C8EFA33).
  inline constexpr float DegreeFactor = 0.017453289f;

  // The vector divided by its length, or unchanged when that length is 0.
  Vector3 UnitOrSame(const Vector3 &v);

  // The vector divided by its length, or unchanged when that length is 0.
  Vector3d UnitOrSame(const Vector3d &v);

  // Turns v by `angle` radians about `axis` (normalised here, used unchanged
  // when its length is 0), v taken as a column vector: component i of the
  // result is row i of the rotation matrix dotted with v.
  Vector3d RotateAboutAxis(const Vector3d &v, const Vector3d &axis, double angle);

  // Inverse of an affine matrix (last column 0, 0, 0, 1): the inverse of the
  // upper-left 3x3 part, and the translation row as minus the old translation
  // row times that inverse. A singular 3x3 part gives the zero 3x3 part.
  Matrix InverseAffine(const Matrix &m);
}
