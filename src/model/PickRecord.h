#pragma once

#include <cstdint>

class CubeFace;
class CubeMesh;

// What the pick buffer knows about one screen pixel: the nearest face drawn
// there at the last refresh. `face` (or `mesh`) empty means nothing is there;
// the last three fields are meaningful only when it is set.
struct PickRecord {
  // Screen depth of the nearest surface written so far.
  float depth = 999999.f;
  CubeMesh *mesh = nullptr;
  CubeFace *face = nullptr;
  // 0 for triangle (c0, c1, c2) of the face, 1 for (c2, c3, c0).
  uint8_t triangle = 0;
  // 0 to 5, the face's index within its mesh.
  int32_t faceIndex = 0;
  // 1024 for the room (the first mesh), 64 for a cube.
  int32_t textureSize = 0;
};
