#pragma once

#include "res/RgbColour.h"

class CubeMesh;

// One texel a pen stroke wrote: the mesh, face and texel (column x, row y of
// the face's image) and its colour before and after the write.
struct PaintedTexel {
  const CubeMesh *mesh = nullptr;
  int face = 0;
  int x = 0;
  int y = 0;
  RgbColour before;
  RgbColour after;
};
