#include "store/ModelSnapshot.h"

#include "model/VoxelModel.h"
#include "res/Texture.h"

std::shared_ptr<const ModelSnapshot> ModelSnapshot::Take(const VoxelModel &model)
{
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
      const Texture *texture = source->FaceTexture(f);
      const DibImage *image = texture ? texture->Backing() : nullptr;
      // A face without a whole byte image is left empty, and Write refuses it.
      if(image && !image->FromFile() && image->Data() &&
         static_cast<size_t>(image->Width()) * image->Height() * 3 == faceBytes)
        mesh.faces[static_cast<size_t>(f)] = image->SharedData();
    }
    snapshot->meshes.push_back(std::move(mesh));
  }
  return snapshot;
}

const uint8_t *ModelSnapshot::Texels(int mesh, int face) const
{
  if(mesh < 0 || mesh >= MeshCount() || face < 0 || face >= FaceCount)
    return nullptr;
  return meshes[static_cast<size_t>(mesh)].faces[static_cast<size_t>(face)].get();
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
    for(const auto &texels : mesh.faces)
      if(!texels || std::fwrite(texels.get(), 1, faceBytes, file) != faceBytes)
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
