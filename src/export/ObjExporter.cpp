#include "export/ObjExporter.h"

#include "export/ExportSpace.h"
#include "export/MeshTextures.h"
#include "export/OutputFiles.h"
#include "model/RoomMesh.h"
#include "model/VoxelModel.h"

#include <cstdio>

namespace {
  // The path without its extension ("a/b.obj" gives "a/b").
  std::string Stem(const std::string &path)
  {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path;
  }

  std::string NameOf(const std::string &path)
  {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }

  std::string Numbers(const char *tag, std::initializer_list<float> values)
  {
    std::string line = tag;
    char number[32];
    for(float value : values)
    {
      std::snprintf(number, sizeof number, " %.7g", static_cast<double>(value));
      line += number;
    }
    return line + "\n";
  }

  std::string MaterialName(int picture)
  {
    return "atlas-" + std::to_string(picture + 1);
  }
}

bool ObjExporter::Write(const VoxelModel &model, bool withRoom, const std::string &objPath, OutputFiles &files,
                        std::string &error)
{
  MeshTextures textures;
  if(!textures.Build(model, withRoom, error))
    return false;
  const std::vector<const CubeMesh *> &meshes = textures.Meshes();

  const std::string stem = Stem(objPath);
  const std::string materialFile = stem + ".mtl";
  std::string materials = "# Vextorn: the face pictures of " + NameOf(objPath) + "\n";
  for(size_t p = 0; p < textures.Pictures().size(); ++p)
  {
    const std::string picture = stem + "-" + std::to_string(p + 1) + ".png";
    files.Add(picture, textures.Pictures()[p]);
    // Unlit colours, as the toy shows them.
    materials += "\nnewmtl " + MaterialName(static_cast<int>(p)) +
                 "\nKa 1 1 1\nKd 1 1 1\nKs 0 0 0\nd 1\nillum 1\nmap_Ka " + NameOf(picture) + "\nmap_Kd " +
                 NameOf(picture) + "\n";
  }

  std::string obj = "# Vextorn model: " + std::to_string(meshes.size()) + " meshes, in metres, y up\n";
  obj += "mtllib " + NameOf(materialFile) + "\n";
  int cubeNumber = 0;
  for(size_t i = 0; i < meshes.size(); ++i)
  {
    const CubeMesh &mesh = *meshes[i];
    const FaceAtlas &atlas = textures.Atlas(static_cast<int>(i));
    const bool room = mesh.TextureSize() == RoomMesh::RoomTextureSize;
    obj += room ? std::string("\no room\n") : "\no cube-" + std::to_string(++cubeNumber) + "\n";
    obj += "usemtl " + MaterialName(textures.PictureOf(static_cast<int>(i))) + "\n";
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
      for(int c = 0; c < CubeMesh::QuadCorners; ++c)
      {
        const Vector3 p = ExportSpace::YUp(mesh.Face(f).CornerPosition(c), ExportSpace::MetresPerUnit);
        obj += Numbers("v", {p.x, p.y, p.z});
      }
    // OBJ counts texture rows from the bottom.
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
      for(int c = 0; c < CubeMesh::QuadCorners; ++c)
      {
        const Vector2 uv = atlas.Texcoord(f, c);
        obj += Numbers("vt", {uv.x, 1.f - uv.y});
      }
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
    {
      Vector3 p[3];
      for(int k = 0; k < 3; ++k)
        p[k] = ExportSpace::YUp(mesh.Face(f).CornerPosition(ExportSpace::TriangleCorners[0][k]), 1.f);
      const Vector3 n = (p[1] - p[0]).Cross(p[2] - p[0]).Normalized();
      obj += Numbers("vn", {n.x, n.y, n.z});
    }
    const int vertexBase = static_cast<int>(i) * CubeMesh::FaceCount * CubeMesh::QuadCorners;
    const int normalBase = static_cast<int>(i) * CubeMesh::FaceCount;
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
      for(const auto &triangle : ExportSpace::TriangleCorners)
      {
        obj += "f";
        for(int corner : triangle)
        {
          const std::string vertex = std::to_string(vertexBase + f * CubeMesh::QuadCorners + corner + 1);
          obj += " " + vertex + "/" + vertex + "/" + std::to_string(normalBase + f + 1);
        }
        obj += "\n";
      }
  }
  files.Add(materialFile, materials);
  files.Add(objPath, obj);
  return true;
}
