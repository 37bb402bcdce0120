#include "gfx/HeadlessBackend.h"

#include <algorithm>
#include <cstring>

namespace {
  // A texture that is nothing but its texels in memory.
  class MemoryTexture : public DeviceTexture {
  public:
    MemoryTexture(int width, int height, const uint32_t *argb)
      : DeviceTexture(width, height), texels(static_cast<size_t>(width) * height, 0)
    {
      if(argb)
        std::memcpy(texels.data(), argb, texels.size() * sizeof(uint32_t));
    }

  protected:
    bool Store(int x, int y, int w, int h, const uint32_t *argb, int pitch) override
    {
      for(int row = 0; row < h; ++row)
        std::memcpy(&texels[static_cast<size_t>(y + row) * Width() + x], argb + static_cast<size_t>(row) * pitch,
                    static_cast<size_t>(w) * sizeof(uint32_t));
      return true;
    }

  public:
    bool Read(uint32_t *argb) const override
    {
      std::memcpy(argb, texels.data(), texels.size() * sizeof(uint32_t));
      return true;
    }

  private:
    std::vector<uint32_t> texels;
  };
}

HeadlessBackend::HeadlessBackend(int width, int height)
  : width(width), height(height), colour(static_cast<size_t>(width) * height, 0xFF000000)
{
}

std::unique_ptr<DeviceTexture> HeadlessBackend::CreateTexture(int textureWidth, int textureHeight,
                                                              const uint32_t *argb)
{
  return std::make_unique<MemoryTexture>(textureWidth, textureHeight, argb);
}

void HeadlessBackend::Clear(const Viewport &viewport, bool target, bool, uint32_t argb, float)
{
  if(!target)
    return;
  const int left = std::min<int>(viewport.x, width);
  const int top = std::min<int>(viewport.y, height);
  const int right = std::min<int>(viewport.x + viewport.width, width);
  const int bottom = std::min<int>(viewport.y + viewport.height, height);
  for(int y = top; y < bottom; ++y)
    std::fill(colour.begin() + static_cast<size_t>(y) * width + left,
              colour.begin() + static_cast<size_t>(y) * width + right, argb | 0xFF000000);
}

void HeadlessBackend::DrawTriangleFan(const Vertex *, int, const DeviceTexture *, const FaceDrawState &)
{
  ++fanDraws;
}

void HeadlessBackend::DrawSprite(const DeviceTexture &, const SpriteQuad &)
{
  ++spriteDraws;
}

void HeadlessBackend::DrawFaceBatch(FaceBatch &batch, const FaceDrawState &)
{
  ++batchDraws;
  batchQuads += batch.QuadCount();
}

bool HeadlessBackend::SaveCopy(int slot)
{
  if(slot < 0)
    return false;
  if(copies.size() <= static_cast<size_t>(slot))
    copies.resize(static_cast<size_t>(slot) + 1);
  copies[static_cast<size_t>(slot)] = colour;
  ++copiesSaved;
  return true;
}

bool HeadlessBackend::RestoreCopy(int slot)
{
  if(slot < 0 || static_cast<size_t>(slot) >= copies.size() || copies[static_cast<size_t>(slot)].size() != colour.size())
    return false;
  colour = copies[static_cast<size_t>(slot)];
  ++copiesRestored;
  return true;
}

void HeadlessBackend::ReadBackBuffer(uint32_t *pixels)
{
  std::memcpy(pixels, colour.data(), colour.size() * sizeof(uint32_t));
}

void HeadlessBackend::WriteBackBuffer(const uint32_t *pixels)
{
  for(size_t i = 0; i < colour.size(); ++i)
    colour[i] = pixels[i] | 0xFF000000;
}

bool HeadlessBackend::Present(const PixelRect &changed)
{
  ++presents;
  lastChanged = changed;
  return true;
}

ResetError HeadlessBackend::Reset()
{
  return ResetError::None;
}
