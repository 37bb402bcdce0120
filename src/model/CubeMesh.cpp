#include "model/CubeMesh.h"

#include "gfx/BatchVertex.h"
#include "gfx/GraphicsDevice.h"
#include "res/Texture.h"

#include <cstdint>
#include <cstring>

namespace {
  // Corner signs (x, y, z) of c0..c3 of each face of a cube.
  constexpr int8_t CornerSigns[CubeMesh::FaceCount][4][3] = {
    {{-1, +1, -1}, {+1, +1, -1}, {+1, -1, -1}, {-1, -1, -1}},
    {{+1, +1, -1}, {+1, +1, +1}, {+1, -1, +1}, {+1, -1, -1}},
    {{+1, +1, +1}, {-1, +1, +1}, {-1, -1, +1}, {+1, -1, +1}},
    {{-1, +1, +1}, {-1, +1, -1}, {-1, -1, -1}, {-1, -1, +1}},
    {{-1, +1, +1}, {+1, +1, +1}, {+1, +1, -1}, {-1, +1, -1}},
    {{-1, -1, -1}, {+1, -1, -1}, {+1, -1, +1}, {-1, -1, +1}},
  };
  // Texture coordinates of c0..c3 of a cube face: the first tenth of the texture.
  constexpr float TexU[4] = {0.f, 0.1f, 0.1f, 0.f};
  constexpr float TexV[4] = {0.f, 0.f, 0.1f, 0.1f};
}

CubeMesh::CubeMesh() = default;
CubeMesh::~CubeMesh() = default;

bool CubeMesh::Build(GraphicsDevice &device, const Vector3 &centre, float halfSize, const RgbColour &colour)
{
  BuildGeometry(centre, halfSize, false);
  return CreateTextures(device, CubeTextureSize, &colour);
}

bool CubeMesh::BuildBlank(GraphicsDevice &device, const Vector3 &centre, float halfSize)
{
  BuildGeometry(centre, halfSize, false);
  return CreateTextures(device, CubeTextureSize, nullptr);
}

void CubeMesh::BuildGeometry(const Vector3 &center, float halfSize, bool inward)
{
  centre = center;
  for(int f = 0; f < FaceCount; ++f)
  {
    for(int i = 0; i < 4; ++i)
    {
      // The room's corner i is the cube's corner 3 - i, with its texcoord.
      const int source = inward ? 3 - i : i;
      const int8_t *sign = CornerSigns[f][source];
      CubeVertex &v = vertices[4 * f + i];
      cubeCorners[4 * f + i] = static_cast<uint8_t>((sign[0] > 0 ? 4 : 0) + (sign[1] > 0 ? 2 : 0) + (sign[2] > 0 ? 1 : 0));
      v.x = center.x + sign[0] * halfSize;
      v.y = center.y + sign[1] * halfSize;
      v.z = center.z + sign[2] * halfSize;
      v.diffuse = 0xFFFFFFFF;
      v.u = TexU[source];
      v.v = TexV[source];
    }
    faces[f].Setup(&vertices[4 * f], &vertices[4 * f + 1], &vertices[4 * f + 2], &vertices[4 * f + 3]);
  }
}

bool CubeMesh::CreateTextures(GraphicsDevice &device, int size, const RgbColour *colour)
{
  const int kept = KeptTexels(size);
  for(int f = 0; f < FaceCount; ++f)
  {
    auto texture = std::make_unique<Texture>();
    if(colour ? !texture->CreateFace(device, size, kept, *colour) : !texture->CreateBlankFace(device, size, kept))
      return false;
    faces[f].SetTexture(texture.get());
    textures[f] = std::move(texture);
  }
  textureSize = size;
  return true;
}

bool CubeMesh::ReadFaces(const uint8_t *texels, GraphicsDevice &device)
{
  const size_t faceBytes = static_cast<size_t>(textureSize) * textureSize * 3;
  for(int f = 0; f < FaceCount; ++f)
    if(!textures[f] || !textures[f]->Backing() || !textures[f]->Backing()->Data() ||
       textures[f]->Backing()->Width() != textureSize || textures[f]->Backing()->Height() != textureSize)
      return false;
  for(int f = 0; f < FaceCount; ++f)
  {
    // The file's rows are the image's rows.
    std::memcpy(textures[f]->Backing()->Data(), texels + f * faceBytes, faceBytes);
    textures[f]->Upload(device, 0, 0, textureSize, textureSize);
  }
  return true;
}

bool CubeMesh::CopyFaces(uint8_t *texels) const
{
  const size_t faceBytes = static_cast<size_t>(textureSize) * textureSize * 3;
  for(int f = 0; f < FaceCount; ++f)
    if(!textures[f] || !textures[f]->Backing() || !textures[f]->Backing()->Data() ||
       textures[f]->Backing()->Width() != textureSize || textures[f]->Backing()->Height() != textureSize)
      return false;
  for(int f = 0; f < FaceCount; ++f)
    std::memcpy(texels + f * faceBytes, textures[f]->Backing()->Data(), faceBytes);
  return true;
}

bool CubeMesh::ReadImage(std::FILE *file, DibImage &image)
{
  if(!image.Data() || image.FromFile())
    return false;
  const size_t bytes = static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height()) * 3;
  return std::fread(image.Data(), 1, bytes, file) == bytes;
}

bool CubeMesh::ReadFaces(std::FILE *file)
{
  for(int f = 0; f < FaceCount; ++f)
  {
    DibImage *image = textures[f] ? textures[f]->Backing() : nullptr;
    if(!image || image->Width() != textureSize || image->Height() != textureSize || !ReadImage(file, *image))
      return false;
  }
  return true;
}

bool CubeMesh::SwapImages(std::unique_ptr<DibImage> (&images)[FaceCount])
{
  for(int f = 0; f < FaceCount; ++f)
    if(!textures[f] || !textures[f]->Backing() || !images[f] || images[f]->Width() != textureSize ||
       images[f]->Height() != textureSize)
      return false;
  for(int f = 0; f < FaceCount; ++f)
    textures[f]->SwapBacking(images[f]);
  return true;
}

bool CubeMesh::UploadFaces(GraphicsDevice &device)
{
  bool ok = true;
  for(int f = 0; f < FaceCount; ++f)
    ok = textures[f] && textures[f]->Upload(device, 0, 0, textureSize, textureSize) && ok;
  return ok;
}

bool CubeMesh::WriteFaces(std::FILE *file) const
{
  const float xyz[3] = {centre.x, centre.y, centre.z};
  if(std::fwrite(xyz, sizeof(float), 3, file) != 3)
    return false;
  const size_t faceBytes = static_cast<size_t>(textureSize) * textureSize * 3;
  for(int f = 0; f < FaceCount; ++f)
  {
    const DibImage *image = textures[f] ? textures[f]->Backing() : nullptr;
    if(!image || !image->Data() || std::fwrite(image->Data(), 1, faceBytes, file) != faceBytes)
      return false;
  }
  return true;
}

void CubeMesh::DrawFaces(GraphicsDevice &device) const
{
  for(int f = 0; f < FaceCount; ++f)
  {
    CubeVertex quad[4];
    for(int i = 0; i < 4; ++i)
      quad[i] = faces[f].Corner(i);
    device.SetTexture(textures[f] ? textures[f]->Get() : nullptr);
    device.DrawTriangleFan(quad, 2);
  }
}

void CubeMesh::WriteQuads(BatchVertex *quads) const
{
  for(int f = 0; f < FaceCount; ++f)
  {
    const DeviceTexture *texture = textures[f] ? textures[f]->Get() : nullptr;
    const float layer = texture ? static_cast<float>(texture->Layer()) : 0.f;
    for(int i = 0; i < QuadCorners; ++i)
    {
      const CubeVertex &corner = faces[f].Corner(i);
      BatchVertex &out = quads[QuadCorners * f + i];
      out.x = corner.x;
      out.y = corner.y;
      out.z = corner.z;
      out.diffuse = corner.diffuse;
      out.u = corner.u;
      out.v = corner.v;
      out.layer = layer;
    }
  }
}
