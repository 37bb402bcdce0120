#pragma once

#include "gfx/ArgbImage.h"
#include "gfx/Vector2.h"
#include "model/CubeMesh.h"

#include <string>

// The texels a mesh's six faces show, gathered into one picture for a 3D
// file, and where each face's corners lie on it.
//
// A face's texture coordinates run from 0 to 0.1, so of its size by size
// texels it shows the first size * 0.1 + 1 columns and rows (7 of a cube's
// 64, 103 of the room's 1024), the last of them only 0.4 of a texel wide.
// Each face becomes a tile of those texels; its corners get the coordinates
// that show exactly that much of the tile, so that a viewer sampling the
// nearest texel shows what the toy shows. Every tile has a copy of its first
// column to its left and of its first row above it, so that a coordinate a
// hair outside the tile, whether clamped or wrapped, still finds the tile's
// own colour.
class FaceAtlas {
public:
  // Tiles side by side.
  static constexpr int Tiles = CubeMesh::FaceCount;

  // Gathers the faces' texels. False, with the reason in `error`, when a face
  // has no picture behind its texture or one of another size.
  bool Build(const CubeMesh &mesh, std::string &error);

  // The atlas, opaque 0xFFRRGGBB texels, row 0 at the top.
  const ArgbImage &Image() const { return image; }
  // Texture coordinate of corner `corner` (0 to 3) of face `face` on the
  // atlas, (0, 0) its top-left corner and (1, 1) its bottom-right.
  Vector2 Texcoord(int face, int corner) const;
  // Texels shown along each edge of a face.
  int Shown() const { return shown; }
  // The atlas column and row where texel (0, 0) of a face lies.
  int TileLeft(int face) const { return face * (shown + 1) + 1; }
  int TileTop() const { return 1; }

private:
  ArgbImage image;
  int shown = 0;
  int textureSize = 0;
  // The faces' corner coordinates, in texels of their textures.
  Vector2 corners[CubeMesh::FaceCount][CubeMesh::QuadCorners];
};
