#pragma once

#include "gfx/Vector3.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

class VoxelModel;

// The model as it was at one moment, in the model file's terms: each mesh's
// centre and the texels of its six faces. Made in a frame and written on
// another thread while the model goes on changing.
//
// Taking a snapshot copies no texels: it shares each face image's bytes
// (DibImage::SharedData), and an image written afterwards copies its own
// bytes first. So a snapshot of thousands of cubes costs the frame next to
// nothing, and what it holds never changes.
class ModelSnapshot {
public:
  // The model as it is now.
  static std::shared_ptr<const ModelSnapshot> Take(const VoxelModel &model);

  // Writes the model file: the mesh count, then each mesh's centre and its
  // six faces' texels, exactly as VoxelModel::Save does. False when a write
  // fails or a face has no texels.
  bool Write(std::FILE *file) const;

  int MeshCount() const { return static_cast<int>(meshes.size()); }
  // The model's change count when the snapshot was taken.
  uint64_t ChangeCount() const { return changeCount; }
  // The texels of face `face` of mesh `mesh` (textureSize squared times 3
  // bytes), or null where the face had no image.
  const uint8_t *Texels(int mesh, int face) const;
  // The size of the file Write makes.
  int64_t FileBytes() const;

private:
  static constexpr int FaceCount = 6;

  struct Mesh {
    Vector3 centre;
    int textureSize = 0;
    std::array<std::shared_ptr<const uint8_t[]>, FaceCount> faces;
  };

  std::vector<Mesh> meshes;
  uint64_t changeCount = 0;
};
