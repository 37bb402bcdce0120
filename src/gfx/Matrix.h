#pragma once

#include "gfx/Vector3.h"

// A 4 by 4 single-precision matrix in the row-vector layout: a point is the row
// vector (x, y, z, 1) times the matrix, so a product A * B applies A first.
// m[r][c] is the element of row r + 1 and column c + 1 (m[3][0] is "_41").
struct Matrix {
  float m[4][4] = {};

  static Matrix Identity();
  // Left-handed view matrix looking from eye at target.
  static Matrix LookAtLH(const Vector3 &eye, const Vector3 &at, const Vector3 &up);
  // Left-handed perspective projection; clip depth runs 0 (near) to 1 (far).
  static Matrix PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
  // Left-handed orthographic projection of a w by h view.
  static Matrix OrthoLH(float w, float h, float zNear, float zFar);

  Matrix operator*(const Matrix &o) const;
  bool operator==(const Matrix &o) const;

  // (x, y, z, 1) times this matrix; w receives the fourth component.
  Vector3 TransformPoint(const Vector3 &p, float *w = nullptr) const;
};
