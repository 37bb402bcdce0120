#pragma once

#include "gfx/Vector3.h"
#include "model/CubeFace.h"
#include "res/RgbColour.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class GraphicsDevice;
class Texture;

// One axis-aligned cube of the model: 24 vertices (four per face, so that each
// face has its own texture coordinates), six faces and six paint textures.
// Faces are numbered 0 = -Z, 1 = +X, 2 = +Z, 3 = -X, 4 = +Y (top), 5 = -Y.
// Built once; afterwards only the texels of its textures change.
class CubeMesh {
public:
  static constexpr int FaceCount = 6;
  static constexpr int CubeTextureSize = 64;

  CubeMesh();
  CubeMesh(const CubeMesh &) = delete;
  CubeMesh &operator=(const CubeMesh &) = delete;
  virtual ~CubeMesh();

  // Builds the cube around `centre` with half-size `halfSize` and six 64 by 64
  // textures filled with `colour`. False when a texture cannot be created;
  // the mesh must then be discarded.
  virtual bool Build(GraphicsDevice &device, const Vector3 &centre, float halfSize, const RgbColour &colour);
  // Copies the six faces' texels (size * size * 3 bytes each, rows first,
  // red-green-blue, as the model file holds them) from `texels` into the
  // images and uploads them. False when the mesh has not been built.
  virtual bool ReadFaces(const uint8_t *texels, GraphicsDevice &device);
  // Bytes that ReadFaces takes and WriteFaces writes after the centre.
  size_t FaceBytes() const { return static_cast<size_t>(FaceCount) * textureSize * textureSize * 3; }
  // Writes the centre (three floats) and the six faces' texels in the same
  // layout. False when any write fails.
  virtual bool WriteFaces(std::FILE *file) const;

  // Draws the six faces, each as a two-triangle fan with its own texture.
  void DrawFaces(GraphicsDevice &device) const;

  const Vector3 &Centre() const { return centre; }
  const CubeVertex &VertexAt(int i) const { return vertices[i]; }
  const CubeFace &Face(int f) const { return faces[f]; }
  CubeFace &Face(int f) { return faces[f]; }
  Texture *FaceTexture(int f) const { return textures[f].get(); }
  // Texels along each edge of every face texture: 64, or 1024 for the room.
  int TextureSize() const { return textureSize; }

protected:
  // Writes the vertices and links the faces. `inward` reverses each face's
  // corner order (the room); texture coordinates stay with their points.
  void BuildGeometry(const Vector3 &center, float halfSize, bool inward);
  // Creates the six size by size textures in one colour; false on the first failure.
  bool CreateTextures(GraphicsDevice &device, int size, const RgbColour &colour);

private:
  Vector3 centre;
  CubeVertex vertices[FaceCount * 4];
  CubeFace faces[FaceCount];
  std::unique_ptr<Texture> textures[FaceCount];
  int textureSize = 0;
};
