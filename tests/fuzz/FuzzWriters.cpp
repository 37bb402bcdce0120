// The export writers fed random models: cubes placed anywhere (finite or
// not), texels painted in and out of range, cubes removed, the room kept or
// left out; then the binary glTF, OBJ (with its material and pictures, kept
// in memory) and STL writers, and the PNG writer with a random picture read
// back by the toy's own reader. Each file that is written has the size and
// the counts its model gives.
#include "FuzzCheck.h"
#include "MemoryFile.h"
#include "SmallModel.h"

#include "export/GlbExporter.h"
#include "export/ObjExporter.h"
#include "export/OutputFiles.h"
#include "export/StlExporter.h"
#include "gfx/ArgbImage.h"
#include "platform/PngReader.h"
#include "platform/PngWriter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
  uint32_t Read32(const uint8_t *p)
  {
    uint32_t value = 0;
    std::memcpy(&value, p, sizeof value);
    return value;
  }

  // At most this many cubes (each with six 64 by 64 images).
  constexpr int MaxCubes = 24;

  void BuildModel(FuzzedDataProvider &input, VoxelModel &model)
  {
    const int steps = input.ConsumeIntegralInRange(0, 64);
    for(int i = 0; i < steps && input.remaining_bytes() > 0; ++i)
    {
      switch(input.ConsumeIntegralInRange(0, 3))
      {
        case 0:
        case 1:
        {
          if(model.Count() > MaxCubes)
            break;
          Vector3 centre;
          const bool anywhere = input.ConsumeBool();
          for(float *axis : {&centre.x, &centre.y, &centre.z})
            *axis = anywhere ? input.ConsumeFloatingPoint<float>() : input.ConsumeFloatingPointInRange(-340.f, 340.f);
          const RgbColour colour{input.ConsumeIntegral<uint8_t>(), input.ConsumeIntegral<uint8_t>(),
                                 input.ConsumeIntegral<uint8_t>()};
          model.AddCube(centre, colour);
          break;
        }
        case 2:
        {
          const int mesh = input.ConsumeIntegralInRange(-1, model.Count());
          const int face = input.ConsumeIntegralInRange(-1, 6);
          const int x = input.ConsumeIntegralInRange(-2, 66);
          const int y = input.ConsumeIntegralInRange(-2, 66);
          model.SetTexel(mesh, face, x, y, RgbColour{input.ConsumeIntegral<uint8_t>(), 0, 255});
          break;
        }
        default:
          if(model.Count() > 1)
            model.RemoveCubeAt(input.ConsumeIntegralInRange(1, model.Count() - 1));
          break;
      }
    }
  }

  void WriteModel(const VoxelModel &model, bool withRoom)
  {
    const int cubes = model.Count() - 1;
    std::string error;

    std::vector<uint8_t> stl;
    const bool stlWritten = StlExporter::Write(model, stl, error);
    Check(stlWritten == (cubes > 0));
    if(stlWritten)
    {
      Check(stl.size() == StlExporter::HeaderBytes + 4 + StlExporter::TriangleBytes * 12 * static_cast<size_t>(cubes));
      Check(Read32(stl.data() + StlExporter::HeaderBytes) == 12u * static_cast<uint32_t>(cubes));
    }

    std::vector<uint8_t> glb;
    error.clear();
    if(GlbExporter::Write(model, withRoom, glb, error))
    {
      Check(cubes > 0 || withRoom);
      Check(glb.size() >= 20 && std::memcmp(glb.data(), "glTF", 4) == 0 && Read32(glb.data() + 4) == 2);
      Check(Read32(glb.data() + 8) == glb.size());
      const uint32_t jsonBytes = Read32(glb.data() + 12);
      Check(std::memcmp(glb.data() + 16, "JSON", 4) == 0 && jsonBytes <= glb.size() - 20);
    }
    else
      Check(!error.empty());

    OutputFiles files;
    error.clear();
    if(ObjExporter::Write(model, withRoom, "/nonexistent/fuzz.obj", files, error))
      // The OBJ file, its materials and at least one picture.
      Check(files.Count() >= 3);
    else
      Check(!error.empty());
  }

  void WritePicture(FuzzedDataProvider &input, MemoryFile &file)
  {
    ArgbImage image;
    image.width = input.ConsumeIntegralInRange(0, 40);
    image.height = input.ConsumeIntegralInRange(0, 40);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for(uint32_t &pixel : image.pixels)
      pixel = input.ConsumeIntegral<uint32_t>();
    std::vector<uint8_t> png;
    std::string error;
    if(!PngWriter::EncodeOpaque(image, png, error))
    {
      Check(image.pixels.empty() && !error.empty());
      return;
    }
    Check(file.Write(png.data(), png.size()));
    ArgbImage read;
    Check(PngReader::Read(file.Path(), read, error));
    Check(read.width == image.width && read.height == image.height);
    for(size_t i = 0; i < image.pixels.size(); ++i)
      Check(read.pixels[i] == (image.pixels[i] | 0xFF000000u));
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static MemoryFile file;
  static SmallModel small;
  FuzzedDataProvider input(data, size);
  const bool withRoom = input.ConsumeBool();
  VoxelModel &model = small.Fresh();
  BuildModel(input, model);
  WriteModel(model, withRoom);
  WritePicture(input, file);
  return 0;
}
