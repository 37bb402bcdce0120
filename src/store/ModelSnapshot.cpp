#include "store/ModelSnapshot.h"

#include "model/VoxelModel.h"
#include "res/Texture.h"

#include <unordered_map>

std::shared_ptr<const ModelSnapshot> ModelSnapshot::Take(const VoxelModel &model, const ModelSnapshot *previous)
{
  // The earlier copies, found by their texture.
  std::unordered_map<uint64_t, const Face *> earlier;
  if(previous)
    for(const Mesh &mesh : previous->meshes)
      for(const Face &face : mesh.faces)
        if(face.identity != 0)
          earlier.emplace(face.identity, &face);

  auto snapshot = std::make_shared<ModelSnapshot>();
  snapshot->changeCount = model.ChangeCount();
  snapshot->meshes.reserve(static_cast<size_t>(model.Count()));
  for(int i = 0; i < model.Count(); ++i)
  {
    const CubeMesh *source = model.At(i);
    Mesh mesh;
    mesh.centre = source->Centre();
    mesh.textureSize = source->TextureSize();
    const size_t faceBytes = static_cast<size_t>(mesh.textureSize) * mesh.textureSize * 3;
    for(int f = 0; f < FaceCount; ++f)
    {
      Face &face = mesh.faces[static_cast<size_t>(f)];
      const Texture *texture = source->FaceTexture(f);
      const DibImage *image = texture ? texture->Backing() : nullptr;
      if(!image || !image->Data() || static_cast<size_t>(image->Width()) * image->Height() * 3 != faceBytes)
        continue;
      if(const DeviceTexture *onDevice = texture->Get())
      {
        face.identity = onDevice->Identity();
        face.revision = onDevice->Revision();
      }
      const auto found = face.identity != 0 ? earlier.find(face.identity) : earlier.end();
      if(found != earlier.end() && found->second->revision == face.revision && found->second->texels)
      {
        face.texels = found->second->texels;
        continue;
      }
      face.texels = std::make_shared<const std::vector<uint8_t>>(image->Data(), image->Data() + faceBytes);
      snapshot->copiedBytes += faceBytes;
    }
    snapshot->meshes.push_back(std::move(mesh));
  }
  return snapshot;
}

bool ModelSnapshot::Write(std::FILE *file) const
{
  const int32_t count = MeshCount();
  if(std::fwrite(&count, sizeof count, 1, file) != 1)
    return false;
  for(const Mesh &mesh : meshes)
  {
    const float xyz[3] = {mesh.centre.x, mesh.centre.y, mesh.centre.z};
    if(std::fwrite(xyz, sizeof(float), 3, file) != 3)
      return false;
    const size_t faceBytes = static_cast<size_t>(mesh.textureSize) * mesh.textureSize * 3;
    for(const Face &face : mesh.faces)
      if(!face.texels || face.texels->size() != faceBytes ||
         std::fwrite(face.texels->data(), 1, faceBytes, file) != faceBytes)
        return false;
  }
  return true;
}

int64_t ModelSnapshot::FileBytes() const
{
  int64_t bytes = 4;
  for(const Mesh &mesh : meshes)
    bytes += 12 + static_cast<int64_t>(FaceCount) * mesh.textureSize * mesh.textureSize * 3;
  return bytes;
}
