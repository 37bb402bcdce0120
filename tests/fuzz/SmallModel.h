#pragma once

#include "gfx/GraphicsDevice.h"
#include "model/VoxelModel.h"

#include <cstdint>
#include <memory>
#include <vector>

// A model on a headless device as the toy makes it, except that the room's
// faces are 4 by 4 texels (a file of the room alone is 304 bytes, not 18 MB)
// and the screen is 64 by 48 pixels: the model file's real reading code on
// inputs a fuzzer can make. Cubes keep their real 64 by 64 faces.
class SmallModel {
public:
  static constexpr int RoomTexels = 4;

  SmallModel();

  // A fresh model with the room alone; aborts when it cannot be made.
  VoxelModel &Fresh();
  VoxelModel &Model() { return *model; }
  GraphicsDevice &Device() { return device; }

  // The model file as the autosave writes it, from a snapshot of the model.
  static std::vector<uint8_t> FileOf(const VoxelModel &model);
  // Whether `written` is `read` again: the same bytes, except that a room
  // centre of the same value may be written with another sign of zero (the
  // room already standing there is kept).
  static bool SameFile(const std::vector<uint8_t> &written, const uint8_t *read, size_t size);

private:
  GraphicsDevice device;
  std::unique_ptr<VoxelModel> model;
};
