// The 3D files made from a model: the glTF file read back with the same
// library, the OBJ file with its materials and pictures, the STL file; each
// checked against the model itself (geometry, front faces, the texels each
// face shows).
#include "export/FaceAtlas.h"
#include "export/GlbExporter.h"
#include "export/ObjExporter.h"
#include "export/OutputFiles.h"
#include "export/SampleModel.h"
#include "export/StlExporter.h"
#include "model/RoomMesh.h"
#include "platform/PngReader.h"

#include "ModelTestSupport.h"

#include <tiny_gltf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>

namespace {
  constexpr float CubeTexelsShown = 6.4f;
  constexpr float RoomTexelsShown = 102.4f;

  // Texel (column, row) of a face's picture as 0xRRGGBB.
  uint32_t ModelTexel(const CubeMesh &mesh, int face, int column, int row)
  {
    const DibImage *image = mesh.FaceTexture(face)->Backing();
    const uint8_t *t = image->Data() + (static_cast<size_t>(row) * image->Width() + column) * 3;
    return static_cast<uint32_t>(t[0]) << 16 | static_cast<uint32_t>(t[1]) << 8 | t[2];
  }

  // Where inside a face to sample shown texel `index`: its middle, or the
  // middle of the 0.4 of the last one that is shown.
  float SamplePoint(int index, float shown)
  {
    return std::min(static_cast<float>(index) + 0.5f, (static_cast<float>(index) + shown) / 2.f);
  }

  // The point of a face at texel position (x, y) as a file's texture
  // coordinates, from the coordinates the file gives the corners that the
  // model puts at texel (0, 0), (shown, 0) and (0, shown).
  Vector2 FaceToFile(const CubeFace &face, const Vector2 file[4], float x, float y, float shown)
  {
    int origin = -1, across = -1, down = -1;
    for(int c = 0; c < 4; ++c)
    {
      const bool right = face.Corner(c).u > 0.f;
      const bool low = face.Corner(c).v > 0.f;
      if(!right && !low)
        origin = c;
      else if(right && !low)
        across = c;
      else if(!right && low)
        down = c;
    }
    const Vector2 &o = file[origin];
    return {o.x + (file[across].x - o.x) * x / shown + (file[down].x - o.x) * y / shown,
            o.y + (file[across].y - o.y) * x / shown + (file[down].y - o.y) * y / shown};
  }

  class ExportFormats : public ModelTest {
  protected:
    void SetUp() override
    {
      ModelTest::SetUp();
      ASSERT_TRUE(SampleModel::Build(model, device));
    }

    // Every shown texel of every face of the mesh, sampled through the file's
    // corner coordinates on its picture (nearest texel, `rgbAt(u, v)`),
    // against the model's own texel; plus the shown width of each face.
    void ExpectShownTexels(const CubeMesh &mesh, const std::function<Vector2(int face, int corner)> &uvOf,
                           int width, int height, const std::function<uint32_t(int x, int y)> &rgbAt,
                           const std::string &what)
    {
      const float shown = mesh.TextureSize() == RoomMesh::RoomTextureSize ? RoomTexelsShown : CubeTexelsShown;
      const int count = static_cast<int>(shown) + 1;
      for(int f = 0; f < CubeMesh::FaceCount; ++f)
      {
        Vector2 corners[4];
        for(int c = 0; c < 4; ++c)
          corners[c] = uvOf(f, c);
        // The face shows 6.4 (or 102.4) texels of the picture across and down.
        for(int edge = 0; edge < 4; ++edge)
        {
          const Vector2 &a = corners[edge];
          const Vector2 &b = corners[(edge + 1) % 4];
          EXPECT_NEAR(std::hypot((b.x - a.x) * width, (b.y - a.y) * height), shown, 1e-3)
            << what << " face " << f << " edge " << edge;
        }
        int wrong = 0;
        for(int row = 0; row < count; ++row)
          for(int column = 0; column < count; ++column)
          {
            const Vector2 uv =
              FaceToFile(mesh.Face(f), corners, SamplePoint(column, shown), SamplePoint(row, shown), shown);
            const int x = static_cast<int>(std::floor(uv.x * static_cast<float>(width)));
            const int y = static_cast<int>(std::floor(uv.y * static_cast<float>(height)));
            ASSERT_TRUE(x >= 0 && x < width && y >= 0 && y < height) << what << " face " << f;
            if(rgbAt(x, y) != ModelTexel(mesh, f, column, row) && ++wrong <= 3)
              ADD_FAILURE() << what << " face " << f << " texel (" << column << ", " << row << ") shows "
                            << std::hex << rgbAt(x, y) << " instead of " << ModelTexel(mesh, f, column, row);
          }
        EXPECT_EQ(wrong, 0) << what << " face " << f;
      }
    }

    // The model's corner positions of a mesh's face, in a file's space.
    static Vector3 FileCorner(const CubeMesh &mesh, int face, int corner, float scale)
    {
      const Vector3 p = mesh.Face(face).CornerPosition(corner);
      return Vector3(p.x * scale, p.y * scale, -p.z * scale);
    }

    // A triangle is a front face of a file (counter-clockwise seen from the
    // front) when its right-hand normal points away from the cube's centre,
    // or toward the room's.
    static void ExpectFront(const Vector3 &a, const Vector3 &b, const Vector3 &c, const Vector3 &centre, bool room,
                            const std::string &what)
    {
      const Vector3 normal = (b - a).Cross(c - a);
      const Vector3 out = (a + b + c) * (1.f / 3.f) - centre;
      if(room)
        EXPECT_LT(normal.Dot(out), 0.f) << what;
      else
        EXPECT_GT(normal.Dot(out), 0.f) << what;
    }
  };

  struct ReadGlb {
    tinygltf::Model file;
    std::string error;
    std::string warning;

    bool Load(const std::vector<uint8_t> &bytes)
    {
      tinygltf::TinyGLTF reader;
      return reader.LoadBinaryFromMemory(&file, &error, &warning, bytes.data(), static_cast<unsigned>(bytes.size()));
    }

    template <class T>
    std::vector<T> Values(int accessorIndex, int components) const
    {
      const tinygltf::Accessor &accessor = file.accessors[accessorIndex];
      const tinygltf::BufferView &view = file.bufferViews[accessor.bufferView];
      const unsigned char *start = file.buffers[view.buffer].data.data() + view.byteOffset + accessor.byteOffset;
      std::vector<T> values(accessor.count * components);
      std::memcpy(values.data(), start, values.size() * sizeof(T));
      return values;
    }
  };
}

TEST_F(ExportFormats, GlbReadBackHoldsTheRoomAndEveryCubeWithTheTexelsTheToyShows)
{
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(GlbExporter::Write(model, true, bytes, error)) << error;
  ReadGlb glb;
  ASSERT_TRUE(glb.Load(bytes)) << glb.error;
  const tinygltf::Model &file = glb.file;

  ASSERT_EQ(file.meshes.size(), 5u);
  ASSERT_EQ(file.nodes.size(), 5u);
  ASSERT_EQ(file.scenes.size(), 1u);
  EXPECT_EQ(file.scenes[0].nodes.size(), 5u);
  EXPECT_EQ(file.nodes[0].name, "room");
  EXPECT_EQ(file.nodes[4].name, "cube 4");
  // Painted blocks stay crisp; faces are drawn unlit, as in the toy.
  ASSERT_EQ(file.samplers.size(), 1u);
  EXPECT_EQ(file.samplers[0].magFilter, TINYGLTF_TEXTURE_FILTER_NEAREST);
  EXPECT_EQ(file.samplers[0].minFilter, TINYGLTF_TEXTURE_FILTER_NEAREST);
  for(const tinygltf::Material &material : file.materials)
    EXPECT_EQ(material.extensions.count("KHR_materials_unlit"), 1u);

  for(int i = 0; i < 5; ++i)
  {
    const CubeMesh &mesh = *model.At(i);
    const std::string what = "mesh " + std::to_string(i);
    const tinygltf::Node &node = file.nodes[i];
    ASSERT_EQ(node.mesh, i);
    ASSERT_EQ(file.meshes[i].primitives.size(), 1u);
    const tinygltf::Primitive &primitive = file.meshes[i].primitives[0];
    EXPECT_EQ(primitive.mode, TINYGLTF_MODE_TRIANGLES);
    const auto positions = glb.Values<float>(primitive.attributes.at("POSITION"), 3);
    const auto texcoords = glb.Values<float>(primitive.attributes.at("TEXCOORD_0"), 2);
    const auto indices = glb.Values<uint16_t>(primitive.indices, 1);
    ASSERT_EQ(positions.size(), 24u * 3) << what;
    ASSERT_EQ(indices.size(), 36u) << what;

    // Each corner where the model has it, in metres with z mirrored.
    Vector3 translation;
    if(node.translation.size() == 3)
      translation = Vector3(static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                            static_cast<float>(node.translation[2]));
    auto corner = [&](int vertex) {
      return translation + Vector3(positions[vertex * 3], positions[vertex * 3 + 1], positions[vertex * 3 + 2]);
    };
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
      for(int c = 0; c < 4; ++c)
      {
        const Vector3 expected = FileCorner(mesh, f, c, 0.001f);
        const Vector3 got = corner(f * 4 + c);
        EXPECT_LT((got - expected).Length(), 1e-6f) << what << " face " << f << " corner " << c;
      }
    // A cube is 4 cm wide; the room 64 cm.
    const tinygltf::Accessor &bounds = file.accessors[primitive.attributes.at("POSITION")];
    EXPECT_NEAR(bounds.maxValues[0] - bounds.minValues[0], i == 0 ? 0.64 : 0.04, 1e-6) << what;

    // Cubes are seen from outside, the room from inside.
    const Vector3 centre(mesh.Centre().x * 0.001f, mesh.Centre().y * 0.001f, -mesh.Centre().z * 0.001f);
    for(size_t t = 0; t < indices.size(); t += 3)
      ExpectFront(corner(indices[t]), corner(indices[t + 1]), corner(indices[t + 2]), centre, i == 0,
                  what + " triangle " + std::to_string(t / 3));

    const tinygltf::Material &material = file.materials[primitive.material];
    const tinygltf::Image &picture =
      file.images[file.textures[material.pbrMetallicRoughness.baseColorTexture.index].source];
    ASSERT_EQ(picture.component, 4);
    ExpectShownTexels(
      mesh, [&](int f, int c) { return Vector2{texcoords[(f * 4 + c) * 2], texcoords[(f * 4 + c) * 2 + 1]}; },
      picture.width, picture.height,
      [&](int x, int y) {
        const unsigned char *p = &picture.image[(static_cast<size_t>(y) * picture.width + x) * 4];
        return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
      },
      what);
  }
}

TEST_F(ExportFormats, GlbWithoutTheRoomHoldsTheCubesOnlyAndNothingIsRefused)
{
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(GlbExporter::Write(model, false, bytes, error)) << error;
  ReadGlb glb;
  ASSERT_TRUE(glb.Load(bytes)) << glb.error;
  ASSERT_EQ(glb.file.meshes.size(), 4u);
  for(const tinygltf::Node &node : glb.file.nodes)
    EXPECT_NE(node.name, "room");
  // The three unpainted-looking cubes still differ; the first cube's
  // translation is its centre in metres.
  ASSERT_EQ(glb.file.nodes[0].translation.size(), 3u);
  EXPECT_NEAR(glb.file.nodes[0].translation[1], -0.3, 1e-6);

  // Nothing left to write: refused.
  for(int i = model.Count() - 1; i >= 1; --i)
    model.RemoveAt(i);
  EXPECT_FALSE(GlbExporter::Write(model, false, bytes, error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(GlbExporter::Write(model, true, bytes, error));
}

TEST_F(ExportFormats, FaceAtlasRepeatsEachTilesFirstRowAndColumnAroundIt)
{
  FaceAtlas atlas;
  std::string error;
  ASSERT_TRUE(atlas.Build(*model.At(1), error)) << error;
  EXPECT_EQ(atlas.Shown(), 7);
  const ArgbImage &image = atlas.Image();
  // The top face: texel (3, 3) black, its row -1 and column -1 repeat row 0
  // and column 0, so a coordinate a hair outside still finds the face.
  const int left = atlas.TileLeft(4);
  const int top = atlas.TileTop();
  auto at = [&](int x, int y) { return image.pixels[static_cast<size_t>(y) * image.width + x] & 0xFFFFFFu; };
  EXPECT_EQ(at(left + 3, top + 3), 0x000000u);
  EXPECT_EQ(at(left + 6, top + 6), 0xFF00FFu);
  for(int i = 0; i < 7; ++i)
  {
    EXPECT_EQ(at(left - 1, top + i), at(left, top + i));
    EXPECT_EQ(at(left + i, top - 1), at(left + i, top));
  }
  // Texel (7, 2) is painted but never shown: it is not in the atlas.
  for(uint32_t p : image.pixels)
    EXPECT_NE(p & 0xFFFFFFu, 0x00FFFFu);
}

TEST_F(ExportFormats, ObjHasTheSameMeshesAndTexelsWithItsMaterialsAndPictures)
{
  ModelFileFolder folder;
  const std::string path = folder.File("model.obj");
  OutputFiles files;
  std::string error;
  ASSERT_TRUE(ObjExporter::Write(model, true, path, files, error)) << error;
  ASSERT_TRUE(files.Commit(error)) << error;

  std::ifstream in(path);
  std::string line;
  std::vector<Vector3> vertices;
  std::vector<Vector2> texcoords;
  std::vector<std::string> objects;
  std::vector<std::string> materials;
  int normals = 0;
  int triangles = 0;
  std::string library;
  while(std::getline(in, line))
  {
    std::istringstream words(line);
    std::string tag;
    words >> tag;
    if(tag == "v")
    {
      Vector3 v;
      words >> v.x >> v.y >> v.z;
      vertices.push_back(v);
    }
    else if(tag == "vt")
    {
      Vector2 t;
      words >> t.x >> t.y;
      texcoords.push_back(t);
    }
    else if(tag == "vn")
      ++normals;
    else if(tag == "f")
    {
      std::string a, b, c, extra;
      words >> a >> b >> c;
      EXPECT_FALSE(words >> extra) << line;
      // Vertex and texture coordinate are the same corner.
      for(const std::string &corner : {a, b, c})
      {
        const size_t first = corner.find('/');
        EXPECT_EQ(corner.substr(0, first), corner.substr(first + 1, corner.rfind('/') - first - 1)) << line;
      }
      ++triangles;
    }
    else if(tag == "o")
    {
      std::string name;
      words >> name;
      objects.push_back(name);
    }
    else if(tag == "usemtl")
    {
      std::string name;
      words >> name;
      materials.push_back(name);
    }
    else if(tag == "mtllib")
      words >> library;
  }
  EXPECT_EQ(vertices.size(), 5u * 24);
  EXPECT_EQ(texcoords.size(), 5u * 24);
  EXPECT_EQ(normals, 5 * 6);
  EXPECT_EQ(triangles, 5 * 12);
  EXPECT_EQ(objects, (std::vector<std::string>{"room", "cube-1", "cube-2", "cube-3", "cube-4"}));
  EXPECT_EQ(library, "model.mtl");

  // The room spans 64 cm, centred; the cubes lie on the floor, z mirrored.
  Vector3 low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
  for(size_t i = 24; i < vertices.size(); ++i)
  {
    low = Vector3(std::min(low.x, vertices[i].x), std::min(low.y, vertices[i].y), std::min(low.z, vertices[i].z));
    high = Vector3(std::max(high.x, vertices[i].x), std::max(high.y, vertices[i].y), std::max(high.z, vertices[i].z));
  }
  EXPECT_NEAR(vertices[0].x, -0.32f, 1e-6f);
  EXPECT_NEAR(low.x, -0.12f, 1e-6f);
  EXPECT_NEAR(high.x, 0.04f, 1e-6f);
  EXPECT_NEAR(low.y, -0.32f, 1e-6f);
  EXPECT_NEAR(high.y, -0.24f, 1e-6f);
  EXPECT_NEAR(low.z, -0.08f, 1e-6f);
  EXPECT_NEAR(high.z, 0.02f, 1e-6f);

  // Every material's picture is beside the file, and each mesh's faces show
  // the model's texels through it (OBJ counts rows from the bottom).
  std::ifstream mtl(folder.File("model.mtl"));
  std::map<std::string, std::string> pictureOf;
  std::string current;
  while(std::getline(mtl, line))
  {
    std::istringstream words(line);
    std::string tag, value;
    words >> tag >> value;
    if(tag == "newmtl")
      current = value;
    else if(tag == "map_Kd")
      pictureOf[current] = value;
  }
  ASSERT_EQ(materials.size(), 5u);
  for(int i = 0; i < 5; ++i)
  {
    ASSERT_EQ(pictureOf.count(materials[i]), 1u) << materials[i];
    ArgbImage picture;
    ASSERT_TRUE(PngReader::Read(folder.File(pictureOf[materials[i]]), picture, error)) << error;
    ExpectShownTexels(
      *model.At(i),
      [&](int f, int c) {
        const Vector2 t = texcoords[static_cast<size_t>(i) * 24 + f * 4 + c];
        return Vector2{t.x, 1.f - t.y};
      },
      picture.width, picture.height,
      [&](int x, int y) { return picture.pixels[static_cast<size_t>(y) * picture.width + x] & 0xFFFFFFu; },
      "obj mesh " + std::to_string(i));
  }
}

TEST_F(ExportFormats, StlHoldsTheCubesAsClosedOutwardShellsInMillimetres)
{
  std::vector<uint8_t> stl;
  std::string error;
  ASSERT_TRUE(StlExporter::Write(model, stl, error)) << error;
  const uint32_t cubes = 4;
  ASSERT_EQ(stl.size(), 84u + 50u * 12 * cubes);
  EXPECT_NE(std::string(stl.begin(), stl.begin() + 5), "solid") << "a binary STL must not look like a text one";
  uint32_t count = 0;
  std::memcpy(&count, stl.data() + 80, 4);
  EXPECT_EQ(count, 12 * cubes);

  Vector3 low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
  for(uint32_t t = 0; t < count; ++t)
  {
    float values[12];
    std::memcpy(values, stl.data() + 84 + t * 50, sizeof values);
    const Vector3 normal(values[0], values[1], values[2]);
    const Vector3 a(values[3], values[4], values[5]);
    const Vector3 b(values[6], values[7], values[8]);
    const Vector3 c(values[9], values[10], values[11]);
    for(const Vector3 &p : {a, b, c})
    {
      low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
      high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    EXPECT_NEAR(normal.Length(), 1.f, 1e-6f);
    // The stored normal is the right-hand one of the listed corners...
    EXPECT_GT(normal.Dot((b - a).Cross(c - a)), 0.f) << "triangle " << t;
    // ...and points out of its own cube (z up: the model's y, depth its z).
    const Vector3 centre = SampleModel::Centres()[t / 12];
    ExpectFront(a, b, c, Vector3(centre.x * 0.5f, centre.z * 0.5f, centre.y * 0.5f), false,
                "triangle " + std::to_string(t));
  }
  // One cube is 20 mm: the cubes span x -60..20, depth -10..40, height -160..-120.
  EXPECT_NEAR(low.x, -60.f, 1e-4f);
  EXPECT_NEAR(high.x, 20.f, 1e-4f);
  EXPECT_NEAR(low.y, -10.f, 1e-4f);
  EXPECT_NEAR(high.y, 40.f, 1e-4f);
  EXPECT_NEAR(low.z, -160.f, 1e-4f);
  EXPECT_NEAR(high.z, -120.f, 1e-4f);

  // The room alone gives nothing to print.
  for(int i = model.Count() - 1; i >= 1; --i)
    model.RemoveAt(i);
  EXPECT_FALSE(StlExporter::Write(model, stl, error));
}
