#include "export/StlExporter.h"

#include "export/ExportSpace.h"
#include "model/VoxelModel.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "STL numbers are little-endian");

namespace {
  void Put(std::vector<uint8_t> &out, size_t &at, const void *bytes, size_t size)
  {
    std::memcpy(out.data() + at, bytes, size);
    at += size;
  }

  void PutVector(std::vector<uint8_t> &out, size_t &at, const Vector3 &v)
  {
    const float xyz[3] = {v.x, v.y, v.z};
    Put(out, at, xyz, sizeof xyz);
  }
}

bool StlExporter::Write(const VoxelModel &model, std::vector<uint8_t> &stl, std::string &error)
{
  // The room is the model's first mesh, the cubes all the others (as the
  // other writers take them).
  std::vector<const CubeMesh *> cubes;
  for(int i = 1; i < model.Count(); ++i)
    cubes.push_back(model.At(i));
  if(cubes.empty())
  {
    error = "the model has no cubes to print";
    return false;
  }

  const uint32_t triangles =
    static_cast<uint32_t>(cubes.size() * CubeMesh::FaceCount * ExportSpace::TrianglesPerFace);
  stl.assign(HeaderBytes + 4 + triangles * TriangleBytes, 0);
  size_t at = 0;
  const char header[] = "Vextorn model, millimetres, z up";
  Put(stl, at, header, sizeof header - 1);
  at = HeaderBytes;
  Put(stl, at, &triangles, sizeof triangles);
  for(const CubeMesh *cube : cubes)
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
      for(const auto &triangle : ExportSpace::TriangleCorners)
      {
        Vector3 p[3];
        for(int k = 0; k < 3; ++k)
          p[k] = ExportSpace::ZUp(cube->Face(f).CornerPosition(triangle[k]), ExportSpace::MillimetresPerUnit);
        PutVector(stl, at, (p[1] - p[0]).Cross(p[2] - p[0]).Normalized());
        for(const Vector3 &point : p)
          PutVector(stl, at, point);
        at += 2;
      }
  return true;
}
