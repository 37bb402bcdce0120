#include "export/GlbExporter.h"

#include "export/ExportSpace.h"
#include "export/MeshTextures.h"
#include "model/RoomMesh.h"
#include "model/VoxelModel.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <sstream>
#include <tuple>

namespace {
  constexpr int Indices = CubeMesh::FaceCount * ExportSpace::TrianglesPerFace * 3;
  constexpr const char *UnlitExtension = "KHR_materials_unlit";

  // The one buffer of the file, filled view by view.
  class BufferBuilder {
  public:
    explicit BufferBuilder(tinygltf::Model &model) : model(model) {}

    // A buffer view of the bytes, started on a four-byte boundary; its index.
    int AddView(const void *bytes, size_t size, int target)
    {
      std::vector<unsigned char> &data = model.buffers[0].data;
      data.resize((data.size() + 3) / 4 * 4, 0);
      tinygltf::BufferView view;
      view.buffer = 0;
      view.byteOffset = data.size();
      view.byteLength = size;
      view.target = target;
      const auto *first = static_cast<const unsigned char *>(bytes);
      data.insert(data.end(), first, first + size);
      model.bufferViews.push_back(view);
      return static_cast<int>(model.bufferViews.size()) - 1;
    }

    // An accessor of `count` float vectors of `components` over a new view.
    int AddFloats(const std::vector<float> &values, int components, int type, bool withBounds)
    {
      tinygltf::Accessor accessor;
      accessor.bufferView = AddView(values.data(), values.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER);
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
      accessor.type = type;
      accessor.count = values.size() / components;
      if(withBounds)
      {
        accessor.minValues.assign(components, std::numeric_limits<double>::max());
        accessor.maxValues.assign(components, std::numeric_limits<double>::lowest());
        for(size_t i = 0; i < values.size(); ++i)
        {
          const size_t c = i % components;
          accessor.minValues[c] = std::min(accessor.minValues[c], static_cast<double>(values[i]));
          accessor.maxValues[c] = std::max(accessor.maxValues[c], static_cast<double>(values[i]));
        }
      }
      model.accessors.push_back(accessor);
      return static_cast<int>(model.accessors.size()) - 1;
    }

  private:
    tinygltf::Model &model;
  };

  // A mesh's vertices in the file's space, relative to its centre.
  struct MeshVertices {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texcoords;

    bool operator<(const MeshVertices &other) const
    {
      return std::tie(positions, normals, texcoords) < std::tie(other.positions, other.normals, other.texcoords);
    }
  };

  MeshVertices VerticesOf(const CubeMesh &mesh, const FaceAtlas &atlas)
  {
    MeshVertices out;
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
    {
      const CubeFace &face = mesh.Face(f);
      Vector3 corners[CubeMesh::QuadCorners];
      for(int c = 0; c < CubeMesh::QuadCorners; ++c)
        corners[c] = ExportSpace::YUp(face.CornerPosition(c) - mesh.Centre(), ExportSpace::MetresPerUnit);
      // The front side of the face's first triangle, in the file's space.
      const int *first = ExportSpace::TriangleCorners[0];
      const Vector3 normal =
        (corners[first[1]] - corners[first[0]]).Cross(corners[first[2]] - corners[first[0]]).Normalized();
      for(int c = 0; c < CubeMesh::QuadCorners; ++c)
      {
        out.positions.insert(out.positions.end(), {corners[c].x, corners[c].y, corners[c].z});
        out.normals.insert(out.normals.end(), {normal.x, normal.y, normal.z});
        const Vector2 uv = atlas.Texcoord(f, c);
        out.texcoords.insert(out.texcoords.end(), {uv.x, uv.y});
      }
    }
    return out;
  }

  std::string MeshName(const CubeMesh &mesh, int cubeNumber)
  {
    return mesh.TextureSize() == RoomMesh::RoomTextureSize ? GlbExporter::RoomName
                                                           : "cube " + std::to_string(cubeNumber);
  }
}

bool GlbExporter::Write(const VoxelModel &model, bool withRoom, std::vector<uint8_t> &glb, std::string &error)
{
  glb.clear();
  MeshTextures textures;
  if(!textures.Build(model, withRoom, error))
    return false;
  const std::vector<const CubeMesh *> &meshes = textures.Meshes();

  tinygltf::Model file;
  file.asset.version = "2.0";
  file.asset.generator = "Vextorn";
  file.extensionsUsed.push_back(UnlitExtension);
  file.buffers.resize(1);
  BufferBuilder buffer(file);

  // Painted blocks stay crisp: the nearest texel, never a blend; coordinates
  // stay inside each tile, so nothing wraps.
  tinygltf::Sampler sampler;
  sampler.magFilter = TINYGLTF_TEXTURE_FILTER_NEAREST;
  sampler.minFilter = TINYGLTF_TEXTURE_FILTER_NEAREST;
  sampler.wrapS = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
  sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
  file.samplers.push_back(sampler);

  // One material for each distinct atlas picture.
  for(size_t p = 0; p < textures.Pictures().size(); ++p)
  {
    const std::vector<uint8_t> &png = textures.Pictures()[p];
    tinygltf::Image image;
    image.name = "atlas " + std::to_string(p + 1);
    image.mimeType = "image/png";
    image.bufferView = buffer.AddView(png.data(), png.size(), 0);
    file.images.push_back(image);

    tinygltf::Texture texture;
    texture.sampler = 0;
    texture.source = static_cast<int>(p);
    file.textures.push_back(texture);

    // The toy draws faces unlit, in their own colours.
    tinygltf::Material material;
    material.name = image.name;
    material.pbrMetallicRoughness.baseColorTexture.index = static_cast<int>(p);
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 1.0;
    material.extensions[UnlitExtension] = tinygltf::Value(tinygltf::Value::Object());
    file.materials.push_back(material);
  }

  // Every mesh has the same triangles.
  std::array<uint16_t, Indices> indices{};
  size_t next = 0;
  for(int f = 0; f < CubeMesh::FaceCount; ++f)
    for(const auto &triangle : ExportSpace::TriangleCorners)
      for(int corner : triangle)
        indices[next++] = static_cast<uint16_t>(f * CubeMesh::QuadCorners + corner);
  tinygltf::Accessor indexAccessor;
  indexAccessor.bufferView =
    buffer.AddView(indices.data(), sizeof indices, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
  indexAccessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
  indexAccessor.type = TINYGLTF_TYPE_SCALAR;
  indexAccessor.count = Indices;
  file.accessors.push_back(indexAccessor);
  const int indexAccessorIndex = static_cast<int>(file.accessors.size()) - 1;

  // Meshes with equal vertices (every cube, usually) share their accessors.
  std::map<MeshVertices, std::array<int, 3>> shared;
  tinygltf::Scene scene;
  scene.name = "Vextorn model";
  int cubeNumber = 0;
  for(size_t i = 0; i < meshes.size(); ++i)
  {
    const CubeMesh &mesh = *meshes[i];
    MeshVertices vertices = VerticesOf(mesh, textures.Atlas(static_cast<int>(i)));
    auto found = shared.find(vertices);
    if(found == shared.end())
    {
      const std::array<int, 3> accessors = {
        buffer.AddFloats(vertices.positions, 3, TINYGLTF_TYPE_VEC3, true),
        buffer.AddFloats(vertices.normals, 3, TINYGLTF_TYPE_VEC3, false),
        buffer.AddFloats(vertices.texcoords, 2, TINYGLTF_TYPE_VEC2, false)};
      found = shared.emplace(std::move(vertices), accessors).first;
    }

    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] = found->second[0];
    primitive.attributes["NORMAL"] = found->second[1];
    primitive.attributes["TEXCOORD_0"] = found->second[2];
    primitive.indices = indexAccessorIndex;
    primitive.material = textures.PictureOf(static_cast<int>(i));
    primitive.mode = TINYGLTF_MODE_TRIANGLES;

    if(mesh.TextureSize() != RoomMesh::RoomTextureSize)
      ++cubeNumber;
    tinygltf::Mesh fileMesh;
    fileMesh.name = MeshName(mesh, cubeNumber);
    fileMesh.primitives.push_back(primitive);
    file.meshes.push_back(fileMesh);

    tinygltf::Node node;
    node.name = fileMesh.name;
    node.mesh = static_cast<int>(file.meshes.size()) - 1;
    const Vector3 centre = ExportSpace::YUp(mesh.Centre(), ExportSpace::MetresPerUnit);
    if(!(centre == Vector3()))
      node.translation = {centre.x, centre.y, centre.z};
    file.nodes.push_back(node);
    scene.nodes.push_back(static_cast<int>(file.nodes.size()) - 1);
  }
  file.scenes.push_back(scene);
  file.defaultScene = 0;

  std::ostringstream out;
  tinygltf::TinyGLTF writer;
  if(!writer.WriteGltfSceneToStream(&file, out, false, true))
  {
    error = "the glTF file could not be composed";
    return false;
  }
  const std::string bytes = out.str();
  glb.assign(bytes.begin(), bytes.end());
  return true;
}
