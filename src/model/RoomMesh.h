#pragma once

#include "model/CubeMesh.h"

// The box that encloses the scene: a cube built inside out, its faces turned
// inward so that they are seen from inside, with 1024 by 1024 white textures.
class RoomMesh : public CubeMesh {
public:
  static constexpr int RoomTextureSize = 1024;

  // Builds the room around `centre` with half-size `halfSize` and faces of
  // `textureSize` texels each way (smaller only in tests). False when a
  // texture cannot be created; the mesh must then be discarded.
  virtual bool BuildRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize,
                         int textureSize = RoomTextureSize);
  // Builds the room with its images' bytes unset and nothing uploaded, for
  // ReadFaces from a file and UploadFaces.
  virtual bool BuildBlankRoom(GraphicsDevice &device, const Vector3 &centre, float halfSize,
                              int textureSize = RoomTextureSize);
};
