#include "export/FaceAtlas.h"

#include "res/Texture.h"

bool FaceAtlas::Build(const CubeMesh &mesh, std::string &error)
{
  textureSize = mesh.TextureSize();
  shown = CubeMesh::KeptTexels(textureSize);
  if(textureSize <= 0 || shown > textureSize)
  {
    error = "a mesh has no face textures";
    return false;
  }
  image.width = Tiles * (shown + 1);
  image.height = shown + 1;
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0xFFFFFFFFu);

  for(int f = 0; f < CubeMesh::FaceCount; ++f)
  {
    const Texture *texture = mesh.FaceTexture(f);
    const DibImage *face = texture ? texture->Backing() : nullptr;
    if(!face || !face->Data() || face->Width() != textureSize || face->Height() != textureSize)
    {
      error = "a face has no picture of its texture's size";
      return false;
    }
    // Rows -1 and columns -1 of the tile repeat its row 0 and column 0.
    for(int row = -1; row < shown; ++row)
      for(int column = -1; column < shown; ++column)
      {
        const uint8_t *texel =
          face->Data() + (static_cast<size_t>(row < 0 ? 0 : row) * textureSize + (column < 0 ? 0 : column)) * 3;
        const size_t at = static_cast<size_t>(TileTop() + row) * image.width + (TileLeft(f) + column);
        image.pixels[at] = 0xFF000000u | static_cast<uint32_t>(texel[0]) << 16 |
                           static_cast<uint32_t>(texel[1]) << 8 | texel[2];
      }
    for(int c = 0; c < CubeMesh::QuadCorners; ++c)
    {
      const CubeVertex &corner = mesh.Face(f).Corner(c);
      corners[f][c] = Vector2{corner.u * static_cast<float>(textureSize), corner.v * static_cast<float>(textureSize)};
    }
  }
  return true;
}

Vector2 FaceAtlas::Texcoord(int face, int corner) const
{
  const Vector2 &texels = corners[face][corner];
  return Vector2{(static_cast<float>(TileLeft(face)) + texels.x) / static_cast<float>(image.width),
                 (static_cast<float>(TileTop()) + texels.y) / static_cast<float>(image.height)};
}
