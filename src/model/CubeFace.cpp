#include "model/CubeFace.h"

#include "create/Transform.h"
#include "gfx/GraphicsDevice.h"

#include <cmath>

namespace {
  Vector3 Position(const CubeVertex &v)
  {
    return {v.x, v.y, v.z};
  }
}

void CubeFace::Setup(const CubeVertex *c0, const CubeVertex *c1, const CubeVertex *c2, const CubeVertex *c3)
{
  corners[0] = c0;
  corners[1] = c1;
  corners[2] = c2;
  corners[3] = c3;
  const Vector3 p0 = Position(*c0), p1 = Position(*c1), p2 = Position(*c2), p3 = Position(*c3);
  normal = Transform::UnitOrSame((p2 - p3).Cross(p0 - p3));
  area0 = (p0 - p1).Cross(p1 - p2).Length();
  area1 = (p2 - p3).Cross(p3 - p0).Length();
}

void CubeFace::TriangleCorners(int triangle, int &a, int &b, int &c)
{
  if(triangle == 0)
  {
    a = 0; b = 1; c = 2;
  }
  else
  {
    a = 2; b = 3; c = 0;
  }
}

bool CubeFace::Pick(const GraphicsDevice &device, int x, int y, int, int, Vector3 &hit, uint8_t triangle) const
{
  const Matrix &world = device.GetTransform(TransformKind::World);
  const Matrix &view = device.GetTransform(TransformKind::View);
  const Matrix &projection = device.GetTransform(TransformKind::Projection);
  const Viewport &viewport = device.GetViewport();

  // The pixel as a direction in view space (z = 1).
  const float sx = static_cast<float>(x - static_cast<int>(viewport.x));
  const float sy = static_cast<float>(y - static_cast<int>(viewport.y));
  const float vx = ((2.f * sx / static_cast<float>(viewport.width)) - 1.f) / projection.m[0][0];
  const float vy = -((2.f * sy / static_cast<float>(viewport.height)) - 1.f) / projection.m[1][1];

  // The ray in world coordinates, from the eye.
  const Matrix m = Transform::InverseAffine(view);
  const Vector3 direction = Transform::UnitOrSame(
    Vector3(vx * m.m[0][0] + vy * m.m[1][0] + m.m[2][0], vx * m.m[0][1] + vy * m.m[1][1] + m.m[2][1],
            vx * m.m[0][2] + vy * m.m[1][2] + m.m[2][2]));
  const Vector3 origin(m.m[3][0], m.m[3][1], m.m[3][2]);

  int ia = 0, ib = 0, ic = 0;
  TriangleCorners(triangle, ia, ib, ic);
  const Vector3 a = world.TransformPoint(CornerPosition(ia));
  const Vector3 b = world.TransformPoint(CornerPosition(ib));
  const Vector3 c = world.TransformPoint(CornerPosition(ic));

  const Vector3 n = Transform::UnitOrSame((a - b).Cross(c - b));
  const float d = n.Dot(direction);
  if(d == 0.f)
    return false;
  const float t = (a - origin).Dot(n) / d;
  const Vector3 h = origin + direction * t;

  // A ray nearly parallel to the plane can meet it at infinity: no hit.
  if(!std::isfinite(h.x) || !std::isfinite(h.y) || !std::isfinite(h.z))
    return false;

  // Which side of each edge the point lies on, seen along the normal; a point
  // on an edge or a hair outside it still counts as inside. Written so that a
  // NaN product (a degenerate ray or face) counts as outside.
  const Vector3 edges[3][2] = {{a, b}, {b, c}, {c, a}};
  for(const auto &edge : edges)
  {
    const Vector3 k = (h - edge[0]).Cross(edge[1] - edge[0]);
    if(!(k.x * n.x >= -0.02f) || !(static_cast<double>(k.y * n.y) >= -0.02) || !(k.z * n.z >= -0.02f))
      return false;
  }

  // Back to model coordinates through the upper-left 3x3 part of the world matrix.
  hit = Vector3(world.m[0][0] * h.x + world.m[0][1] * h.y + world.m[0][2] * h.z,
                world.m[1][0] * h.x + world.m[1][1] * h.y + world.m[1][2] * h.z,
                world.m[2][0] * h.x + world.m[2][1] * h.y + world.m[2][2] * h.z);
  return true;
}

Vector2 CubeFace::TexcoordAt(const Vector3 &point, int triangle) const
{
  int ia = 0, ib = 0, ic = 0;
  TriangleCorners(triangle, ia, ib, ic);
  const CubeVertex &ca = *corners[ia], &cb = *corners[ib], &cc = *corners[ic];
  const Vector3 a = Position(ca), b = Position(cb), c = Position(cc);
  const float total = triangle == 0 ? area0 : area1;
  const float wa = (b - point).Cross(c - point).Length() / total;
  const float wb = (c - point).Cross(a - point).Length() / total;
  const float wc = (a - point).Cross(b - point).Length() / total;
  return {wa * ca.u + wb * cb.u + wc * cc.u, wa * ca.v + wb * cb.v + wc * cc.v};
}
