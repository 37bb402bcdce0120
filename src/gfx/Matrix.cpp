#include "gfx/Matrix.h"

#include <cmath>

Matrix Matrix::Identity()
{
  Matrix r;
  for(int i = 0; i < 4; ++i)
    r.m[i][i] = 1.f;
  return r;
}

Matrix Matrix::LookAtLH(const Vector3 &eye, const Vector3 &at, const Vector3 &up)
{
  const Vector3 z = (at - eye).Normalized();
  const Vector3 x = up.Cross(z).Normalized();
  const Vector3 y = z.Cross(x);

  Matrix r;
  r.m[0][0] = x.x;  r.m[0][1] = y.x;  r.m[0][2] = z.x;
  r.m[1][0] = x.y;  r.m[1][1] = y.y;  r.m[1][2] = z.y;
  r.m[2][0] = x.z;  r.m[2][1] = y.z;  r.m[2][2] = z.z;
  r.m[3][0] = -x.Dot(eye);
  r.m[3][1] = -y.Dot(eye);
  r.m[3][2] = -z.Dot(eye);
  r.m[3][3] = 1.f;
  return r;
}

Matrix Matrix::PerspectiveFovLH(float fovY, float aspect, float zNear, float zFar)
{
  const float yScale = std::cos(fovY / 2.f) / std::sin(fovY / 2.f);
  Matrix r;
  r.m[0][0] = yScale / aspect;
  r.m[1][1] = yScale;
  r.m[2][2] = zFar / (zFar - zNear);
  r.m[2][3] = 1.f;
  r.m[3][2] = -zNear * zFar / (zFar - zNear);
  return r;
}

Matrix Matrix::OrthoLH(float w, float h, float zNear, float zFar)
{
  Matrix r;
  r.m[0][0] = 2.f / w;
  r.m[1][1] = 2.f / h;
  r.m[2][2] = 1.f / (zFar - zNear);
  r.m[3][2] = -zNear / (zFar - zNear);
  r.m[3][3] = 1.f;
  return r;
}

Matrix Matrix::operator*(const Matrix &o) const
{
  Matrix r;
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
    {
      float sum = 0.f;
      for(int k = 0; k < 4; ++k)
        sum += m[i][k] * o.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

bool Matrix::operator==(const Matrix &o) const
{
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
      if(m[i][j] != o.m[i][j])
        return false;
  return true;
}

Vector3 Matrix::TransformPoint(const Vector3 &p, float *w) const
{
  Vector3 r(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
  if(w)
    *w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
  return r;
}
