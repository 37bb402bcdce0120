#pragma once

#include "gfx/Vector2.h"
#include "gfx/Vector3.h"
#include "gfx/Vertex.h"

#include <cstdint>

class GraphicsDevice;
class Texture;

// A mesh vertex as the device draws it: position, diffuse word, texcoord.
using CubeVertex = Vertex;

// One square face of a mesh: four corners (vertices owned by the mesh), split
// along the c0-c2 diagonal into triangle 0 (c0, c1, c2) and triangle 1
// (c2, c3, c0); its normal, the doubled areas of both triangles, and the
// face's paint texture (owned by the mesh).
class CubeFace {
public:
  CubeFace() = default;
  CubeFace(const CubeFace &) = delete;
  CubeFace &operator=(const CubeFace &) = delete;

  // Links the corners and the texture and computes the normal and areas:
  // normal = normalised (c2 - c3) x (c0 - c3) (unnormalised when of length 0),
  // area 0 = |(c0 - c1) x (c1 - c2)|, area 1 = |(c2 - c3) x (c3 - c0)|.
  void Setup(const CubeVertex *c0, const CubeVertex *c1, const CubeVertex *c2, const CubeVertex *c3);
  void SetTexture(Texture *faceTexture) { texture = faceTexture; }

  const CubeVertex &Corner(int i) const { return *corners[i]; }
  Vector3 CornerPosition(int i) const { return {corners[i]->x, corners[i]->y, corners[i]->z}; }
  const Vector3 &Normal() const { return normal; }
  float Area0() const { return area0; }
  float Area1() const { return area1; }
  Texture *GetTexture() const { return texture; }

  // The corners (A, B, C) of triangle 0 or 1, by corner number.
  static void TriangleCorners(int triangle, int &a, int &b, int &c);

  // Casts the ray through pixel (x, y) with the device's current world, view
  // and projection transforms and viewport, and intersects it with one
  // triangle of this face. On a hit inside the triangle (edges included,
  // with a small tolerance) stores the point in model coordinates in `hit`
  // and returns true; otherwise leaves `hit` alone and returns false. A ray
  // parallel to the triangle's plane misses. width and height are not used.
  bool Pick(const GraphicsDevice &device, int x, int y, int width, int height, Vector3 &hit,
            uint8_t triangle) const;

  // The texture coordinate of a point on triangle 0 or 1, interpolated with
  // unsigned barycentric weights (outside the triangle they sum to more than 1).
  Vector2 TexcoordAt(const Vector3 &point, int triangle) const;

private:
  const CubeVertex *corners[4] = {nullptr, nullptr, nullptr, nullptr};
  Vector3 normal;
  float area0 = 0.f;
  float area1 = 0.f;
  Texture *texture = nullptr;
};
