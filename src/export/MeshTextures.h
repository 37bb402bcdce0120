#pragma once

#include "export/FaceAtlas.h"

#include <cstdint>
#include <string>
#include <vector>

class CubeMesh;
class VoxelModel;

// The face atlases of the meshes a 3D file holds, encoded as PNG pictures,
// each distinct picture once (cubes never painted share theirs).
class MeshTextures {
public:
  // Takes the meshes a file holds, in the model's order: the room (the first
  // mesh) unless `withRoom` is false, then the cubes; and builds and encodes
  // the atlas of every one. False, with the reason in `error`, when there is
  // no mesh, a mesh has no pictures behind its faces or a picture cannot be
  // encoded.
  bool Build(const VoxelModel &model, bool withRoom, std::string &error);

  const std::vector<const CubeMesh *> &Meshes() const { return meshes; }

  int MeshCount() const { return static_cast<int>(atlases.size()); }
  const FaceAtlas &Atlas(int mesh) const { return atlases[mesh]; }
  // The index in Pictures() of the mesh's atlas.
  int PictureOf(int mesh) const { return pictureOf[mesh]; }
  // PNG files, distinct.
  const std::vector<std::vector<uint8_t>> &Pictures() const { return pictures; }

private:
  std::vector<const CubeMesh *> meshes;
  std::vector<FaceAtlas> atlases;
  std::vector<int> pictureOf;
  std::vector<std::vector<uint8_t>> pictures;
};
