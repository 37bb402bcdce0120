#include "SmallModel.h"

#include "store/ModelSnapshot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

SmallModel::SmallModel()
{
  if(!device.CreateHeadless(64, 48))
    std::abort();
}

VoxelModel &SmallModel::Fresh()
{
  model = std::make_unique<VoxelModel>();
  VoxelModelSetup setup;
  setup.device = &device;
  setup.bufferWidth = 64;
  setup.bufferHeight = 48;
  setup.left = 0;
  setup.top = 0;
  setup.width = 64;
  setup.height = 48;
  setup.roomTextureSize = RoomTexels;
  if(!model->Init(setup))
    std::abort();
  return *model;
}

std::vector<uint8_t> SmallModel::FileOf(const VoxelModel &model)
{
  char *buffer = nullptr;
  size_t length = 0;
  std::FILE *stream = open_memstream(&buffer, &length);
  if(!stream)
    std::abort();
  const bool written = ModelSnapshot::Take(model)->Write(stream);
  std::fclose(stream);
  std::vector<uint8_t> bytes(buffer, buffer + length);
  std::free(buffer);
  if(!written)
    std::abort();
  return bytes;
}

bool SmallModel::SameFile(const std::vector<uint8_t> &written, const uint8_t *read, size_t size)
{
  constexpr size_t centreAt = 4;
  constexpr size_t centreEnd = centreAt + 3 * sizeof(float);
  if(written.size() != size || size < centreEnd)
    return false;
  if(std::memcmp(written.data(), read, centreAt) != 0 ||
     std::memcmp(written.data() + centreEnd, read + centreEnd, size - centreEnd) != 0)
    return false;
  for(size_t at = centreAt; at < centreEnd; at += sizeof(float))
  {
    float a = 0.f;
    float b = 0.f;
    std::memcpy(&a, written.data() + at, sizeof a);
    std::memcpy(&b, read + at, sizeof b);
    if(!(a == b))
      return false;
  }
  return true;
}
