#pragma once

#include <cstdint>
#include <string>
#include <vector>

class VoxelModel;

// The model as a glTF 2.0 binary file: one node and one mesh for the room
// (unless it is left out) and for each cube, in the model's order, in metres
// (a cube 4 cm wide), y up. Each mesh is one primitive of 24 vertices and 12
// triangles, textured with its face atlas (the texels the toy shows, see
// FaceAtlas) through a sampler that takes the nearest texel, in an unlit
// material; front faces are those the toy shows, so the room is seen from
// inside and the cubes from outside.
class GlbExporter {
public:
  // Name of the room's node and mesh; a cube's is "cube N", N from 1.
  static constexpr const char *RoomName = "room";

  // The file's bytes in `glb`. False, with the reason in `error`, when there
  // is nothing to write (no cube, and the room left out or missing) or a face
  // has no picture.
  static bool Write(const VoxelModel &model, bool withRoom, std::vector<uint8_t> &glb, std::string &error);
};
