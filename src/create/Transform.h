#pragma once

#include "gfx/Matrix.h"
#include "gfx/Vector3.h"

// Vector and matrix helpers of the camera and of ray picking, in single
// precision and the row-vector layout of Matrix.
namespace Transform {
  // Degrees to radians, the single-precision factor used everywhere (0x3C8EFA33).
  inline constexpr float DegreeFactor = 0.017453289f;

  // The vector divided by its length, or unchanged when that length is 0.
  Vector3 UnitOrSame(const Vector3 &v);

  // Turns v by `angle` radians about `axis` (normalised here, used unchanged
  // when its length is 0), v taken as a column vector: component i of the
  // result is row i of the rotation matrix dotted with v.
  Vector3 RotateAboutAxis(const Vector3 &v, const Vector3 &axis, float angle);

  // Inverse of an affine matrix (last column 0, 0, 0, 1): the inverse of the
  // upper-left 3x3 part, and the translation row as minus the old translation
  // row times that inverse. A singular 3x3 part gives the zero 3x3 part.
  Matrix InverseAffine(const Matrix &m);
}
