#pragma once

#include "gfx/Vector3.h"
#include "model/CubeFace.h"
#include "res/RgbColour.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class DibImage;
class GraphicsDevice;
class Texture;
struct BatchVertex;

// One axis-aligned cube of the model: 24 vertices (four per face, so that each
// face has its own texture coordinates), six faces and six paint textures.
// Faces are numbered 0 = -Z, 1 = +X, 2 = +Z, 3 = -X, 4 = +Y (top), 5 = -Y.
// Built once; afterwards only the texels of its textures change.
class CubeMesh {
public:
  static constexpr int FaceCount = 6;
  static constexpr int CubeTextureSize = 64;
  static constexpr int QuadCorners = 4;
  static constexpr int CubeCornerCount = 8;

  // Faces are textured with coordinates 0 to 0.1 only, so a face of `size`
  // texels samples its first size * 0.1 + 1 columns and rows (7 of a cube's
  // 64, 103 of the room's 1024): the texels its device texture keeps.
  static constexpr int KeptTexels(int size) { return static_cast<int>(static_cast<float>(size) * 0.1f) + 1; }

  CubeMesh();
  CubeMesh(const CubeMesh &) = delete;
  CubeMesh &operator=(const CubeMesh &) = delete;
  virtual ~CubeMesh();

  // Builds the cube around `centre` with half-size `halfSize` and six 64 by 64
  // textures filled with `colour`. False when a texture cannot be created;
  // the mesh must then be discarded.
  virtual bool Build(GraphicsDevice &device, const Vector3 &centre, float halfSize, const RgbColour &colour);
  // Builds the cube with its images' bytes unset and nothing uploaded, for
  // ReadFaces from a file and UploadFaces. False as Build.
  virtual bool BuildBlank(GraphicsDevice &device, const Vector3 &centre, float halfSize);
  // Copies the six faces' texels (size * size * 3 bytes each, rows first,
  // red-green-blue, as the model file holds them) from `texels` into the
  // images and uploads them. False when the mesh has not been built.
  virtual bool ReadFaces(const uint8_t *texels, GraphicsDevice &device);
  // Copies the six faces' texels, in the same layout, into `texels`
  // (FaceBytes() bytes). False, with nothing copied, when the mesh has not
  // been built.
  bool CopyFaces(uint8_t *texels) const;
  // Reads the six faces' texels (the same layout) from the file's current
  // position straight into the images; nothing is uploaded. False when the
  // mesh has not been built or a read falls short.
  virtual bool ReadFaces(std::FILE *file);
  // Reads width * height * 3 bytes from the file straight into the image.
  static bool ReadImage(std::FILE *file, DibImage &image);
  // Puts the six images (of the faces' size) behind the faces in place of
  // the current ones, which end up in `images`; nothing is uploaded. False,
  // with nothing exchanged, when any is missing or of another size.
  bool SwapImages(std::unique_ptr<DibImage> (&images)[FaceCount]);
  // Uploads every face's texels from its image (the kept ones, for a face texture).
  bool UploadFaces(GraphicsDevice &device);
  // Bytes that ReadFaces takes and WriteFaces writes after the centre.
  size_t FaceBytes() const { return static_cast<size_t>(FaceCount) * textureSize * textureSize * 3; }
  // Writes the centre (three floats) and the six faces' texels in the same
  // layout. False when any write fails.
  virtual bool WriteFaces(std::FILE *file) const;

  // Draws the six faces, each as a two-triangle fan with its own texture.
  void DrawFaces(GraphicsDevice &device) const;
  // The six faces as quads of a FaceBatch, in face order, corners c0 to c3,
  // each with its texture's layer: FaceCount * QuadCorners vertices.
  void WriteQuads(BatchVertex *quads) const;

  const Vector3 &Centre() const { return centre; }
  const CubeVertex &VertexAt(int i) const { return vertices[i]; }
  // Which of the cube's eight corners corner i of face f is (0 to 7): faces
  // meeting at a corner have vertices there at the same position, to the bit.
  int CubeCorner(int f, int i) const { return cubeCorners[QuadCorners * f + i]; }
  const CubeFace &Face(int f) const { return faces[f]; }
  CubeFace &Face(int f) { return faces[f]; }
  Texture *FaceTexture(int f) const { return textures[f].get(); }
  // Texels along each edge of every face texture: 64, or 1024 for the room.
  int TextureSize() const { return textureSize; }

protected:
  // Writes the vertices and links the faces. `inward` reverses each face's
  // corner order (the room); texture coordinates stay with their points.
  void BuildGeometry(const Vector3 &center, float halfSize, bool inward);
  // Creates the six size by size face textures in one colour, or with their
  // images unset when `colour` is null; false on the first failure.
  bool CreateTextures(GraphicsDevice &device, int size, const RgbColour *colour);

private:
  Vector3 centre;
  CubeVertex vertices[FaceCount * 4];
  uint8_t cubeCorners[FaceCount * 4] = {};
  CubeFace faces[FaceCount];
  std::unique_ptr<Texture> textures[FaceCount];
  int textureSize = 0;
};
