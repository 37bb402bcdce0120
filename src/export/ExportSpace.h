#pragma once

#include "gfx/Vector3.h"

// How the model's space becomes the space of a 3D file. The model is
// left-handed (x right, y up, z into the screen) in model units, a cube 40
// units wide; 3D files are right-handed. Mirroring z (y up, for scenes) or
// exchanging y and z (z up, for 3D printing) turns one into the other and
// keeps the picture, but a triangle that the toy sees clockwise (its front,
// under its culling of counter-clockwise triangles) must then be listed the
// other way round to be a front face by the files' rule (counter-clockwise
// seen from the front): so the cubes are seen from outside and the room
// from inside, as in the toy.
class ExportSpace {
public:
  // Metres per model unit: one cube 4 cm wide.
  static constexpr float MetresPerUnit = 0.001f;
  // Millimetres per model unit for 3D printing: one cube 20 mm wide.
  static constexpr float MillimetresPerUnit = 0.5f;
  static constexpr int TrianglesPerFace = 2;

  // A model point (or direction) in a right-handed, y-up space, scaled.
  static Vector3 YUp(const Vector3 &point, float scale) { return {point.x * scale, point.y * scale, -point.z * scale}; }
  // A model point (or direction) in a right-handed, z-up space, scaled.
  static Vector3 ZUp(const Vector3 &point, float scale) { return {point.x * scale, point.z * scale, point.y * scale}; }

  // The corners (0 to 3, c0 to c3) of a face's two triangles in the order
  // that makes them front faces in either space: the toy's split along the
  // c0-c2 diagonal, each triangle reversed.
  static constexpr int TriangleCorners[TrianglesPerFace][3] = {{0, 2, 1}, {2, 0, 3}};
};
