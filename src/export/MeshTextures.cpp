#include "export/MeshTextures.h"

#include "model/VoxelModel.h"
#include "platform/PngWriter.h"

#include <cstring>
#include <map>

namespace {
  // Orders encoded pictures by length, then by bytes.
  struct BytesBefore {
    bool operator()(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b) const
    {
      if(a.size() != b.size())
        return a.size() < b.size();
      return !a.empty() && std::memcmp(a.data(), b.data(), a.size()) < 0;
    }
  };
}

bool MeshTextures::Build(const VoxelModel &model, bool withRoom, std::string &error)
{
  meshes.clear();
  for(int i = withRoom ? 0 : 1; i < model.Count(); ++i)
    meshes.push_back(model.At(i));
  if(meshes.empty())
  {
    error = "the model has nothing to export";
    return false;
  }
  atlases.assign(meshes.size(), FaceAtlas());
  pictureOf.assign(meshes.size(), -1);
  pictures.clear();
  // Equal atlases encode to equal bytes: the first picture with those bytes serves.
  std::map<std::vector<uint8_t>, int, BytesBefore> known;
  for(size_t i = 0; i < meshes.size(); ++i)
  {
    if(!atlases[i].Build(*meshes[i], error))
      return false;
    std::vector<uint8_t> png;
    if(!PngWriter::EncodeOpaque(atlases[i].Image(), png, error))
      return false;
    auto found = known.find(png);
    if(found == known.end())
    {
      found = known.emplace(png, static_cast<int>(pictures.size())).first;
      pictures.push_back(std::move(png));
    }
    pictureOf[i] = found->second;
  }
  return true;
}
