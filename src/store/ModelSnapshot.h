#pragma once

#include "gfx/Vector3.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

class VoxelModel;

// A copy of the model as it was at one moment, in the model file's terms:
// each mesh's centre and the texels of its six faces. Made in a frame and
// written on another thread while the model goes on changing.
//
// Taking a snapshot copies only the face images that changed since the
// snapshot before it: a face is told by its texture on the device, whose
// revision goes up with every upload of the face's texels (and a face's
// texels only change together with such an upload, or the screen would not
// show them). The unchanged images are shared with the earlier snapshot.
// Shared images are never written to, so snapshots can be read on any
// thread while newer ones are taken.
class ModelSnapshot {
public:
  // The model as it is now. Faces unchanged since `previous` (null for
  // none) share its copies; the rest are copied.
  static std::shared_ptr<const ModelSnapshot> Take(const VoxelModel &model, const ModelSnapshot *previous);

  // Writes the model file: the mesh count, then each mesh's centre and its
  // six faces' texels, exactly as VoxelModel::Save does. False when a write
  // fails or a face has no texels.
  bool Write(std::FILE *file) const;

  int MeshCount() const { return static_cast<int>(meshes.size()); }
  // The model's change count when the snapshot was taken.
  uint64_t ChangeCount() const { return changeCount; }
  // The bytes of texels that Take copied (the rest were shared).
  size_t CopiedBytes() const { return copiedBytes; }
  // The size of the file Write makes.
  int64_t FileBytes() const;

private:
  static constexpr int FaceCount = 6;

  struct Face {
    // The face's texture on the device, and its revision when copied; an
    // identity of 0 is never matched.
    uint64_t identity = 0;
    uint64_t revision = 0;
    std::shared_ptr<const std::vector<uint8_t>> texels;
  };

  struct Mesh {
    Vector3 centre;
    int textureSize = 0;
    std::array<Face, FaceCount> faces;
  };

  std::vector<Mesh> meshes;
  uint64_t changeCount = 0;
  size_t copiedBytes = 0;
};
