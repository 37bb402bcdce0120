#pragma once

#include <cstdint>
#include <string>
#include <vector>

class VoxelModel;

// The cubes (never the room) as a binary STL file for 3D printing, in
// millimetres with one cube 20 mm wide, z up: 12 triangles per cube, each
// with its outward normal and listed counter-clockwise seen from outside.
// Cubes that overlap stay separate closed shells.
class StlExporter {
public:
  static constexpr size_t HeaderBytes = 80;
  static constexpr size_t TriangleBytes = 50;

  // The file's bytes in `stl`. False, with the reason in `error`, when the
  // model has no cube.
  static bool Write(const VoxelModel &model, std::vector<uint8_t> &stl, std::string &error);
};
