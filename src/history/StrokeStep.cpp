#include "history/StrokeStep.h"

#include "model/VoxelModel.h"

static_assert(sizeof(StrokeStep::Texel) == 16, "a stroke's texel is kept in 16 bytes");

namespace {
  // Texel columns and rows fit 10 bits each: faces are at most 1024 texels wide.
  constexpr int CoordinateBits = 10;
  constexpr int FaceBits = 3;

  uint64_t KeyOf(const StrokeStep::Texel &texel)
  {
    return (static_cast<uint64_t>(static_cast<uint32_t>(texel.mesh)) << (2 * CoordinateBits + FaceBits)) |
           (static_cast<uint64_t>(texel.face) << (2 * CoordinateBits)) |
           (static_cast<uint64_t>(texel.x) << CoordinateBits) | texel.y;
  }
}

void StrokeStep::Add(VoxelModel &model, const PaintedTexel &painted)
{
  if(painted.mesh != lastMesh)
  {
    lastIndex = model.IndexOf(painted.mesh);
    lastMesh = painted.mesh;
  }
  constexpr int limit = 1 << CoordinateBits;
  if(lastIndex < 0 || painted.x < 0 || painted.y < 0 || painted.x >= limit || painted.y >= limit || painted.face < 0 ||
     painted.face >= (1 << FaceBits))
    return;

  Texel texel;
  texel.mesh = lastIndex;
  texel.x = static_cast<uint16_t>(painted.x);
  texel.y = static_cast<uint16_t>(painted.y);
  texel.face = static_cast<uint8_t>(painted.face);
  texel.before = painted.before;
  texel.after = painted.after;
  const auto [place, added] = recorded.try_emplace(KeyOf(texel), static_cast<uint32_t>(texels.size()));
  if(added)
  {
    texels.push_back(texel);
    changedTexels += texel.before != texel.after;
    return;
  }
  Texel &kept = texels[place->second];
  changedTexels -= kept.before != kept.after;
  kept.after = texel.after;
  changedTexels += kept.before != kept.after;
}

void StrokeStep::Finish()
{
  std::erase_if(texels, [](const Texel &texel) { return texel.before == texel.after; });
  texels.shrink_to_fit();
  std::unordered_map<uint64_t, uint32_t>().swap(recorded);
  lastMesh = nullptr;
  lastIndex = -1;
}

bool StrokeStep::Undo(VoxelModel &model)
{
  return Write(model, false);
}

bool StrokeStep::Redo(VoxelModel &model)
{
  return Write(model, true);
}

bool StrokeStep::Write(VoxelModel &model, bool after) const
{
  RgbColour present;
  for(const Texel &texel : texels)
    if(!model.TexelColour(texel.mesh, texel.face, texel.x, texel.y, present))
      return false;
  for(const Texel &texel : texels)
    model.SetTexel(texel.mesh, texel.face, texel.x, texel.y, after ? texel.after : texel.before);
  return true;
}

size_t StrokeStep::Bytes() const
{
  // A map node holds its key and value beside a link and the key's hash.
  constexpr size_t mapNode = sizeof(uint64_t) + sizeof(uint32_t) + 2 * sizeof(void *) + sizeof(size_t);
  const size_t map = recorded.empty() ? 0 : recorded.size() * mapNode + recorded.bucket_count() * sizeof(void *);
  return sizeof(*this) + texels.capacity() * sizeof(Texel) + map;
}
