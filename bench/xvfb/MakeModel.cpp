// Writes a model file of the room and a heap of N cubes, for measurements of
// the program with a large model (it loads data/demo.data on F7).
// Usage: make_model CUBES PATH

#include "CubeHeap.h"
#include "gfx/GraphicsDevice.h"
#include "model/VoxelModel.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv)
{
  int cubes = -1;
  if(argc == 3)
  {
    const char *end = argv[1] + std::strlen(argv[1]);
    const auto [stop, error] = std::from_chars(argv[1], end, cubes);
    if(error != std::errc() || stop != end)
      cubes = -1;
  }
  // The file's count is 32 bits, and each cube takes 74 kB of memory and file.
  if(cubes < 0 || cubes > 100000)
  {
    std::fprintf(stderr, "make_model: usage: make_model CUBES PATH (CUBES from 0 to 100000)\n");
    return 2;
  }
  const std::string path = argv[2];

  GraphicsDevice device;
  VoxelModel model;
  VoxelModelSetup setup;
  setup.device = &device;
  if(!device.CreateHeadless() || !model.Init(setup))
  {
    std::fprintf(stderr, "make_model: cannot create the headless device and model\n");
    return 1;
  }
  if(!CubeHeap::Build(model, device, cubes))
  {
    std::fprintf(stderr, "make_model: cannot build %d cubes (out of memory?)\n", cubes);
    return 1;
  }
  if(!model.Save(path))
  {
    std::fprintf(stderr, "make_model: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
