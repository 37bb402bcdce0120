#pragma once

#include "gfx/Vector3.h"

#include <cstdint>
#include <vector>

// Everything that makes one cube of the model: its place in the mesh list,
// its centre and the texels of its six faces, laid out as the model file
// holds them (face 0 to 5, rows first, red, green, blue).
struct CubeCopy {
  int index = -1;
  Vector3 centre;
  std::vector<uint8_t> texels;
};
