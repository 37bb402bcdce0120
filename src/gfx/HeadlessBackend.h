#pragma once

#include "gfx/RenderBackend.h"

#include <vector>

// A back end without a display: the back buffer lives in memory and textures
// keep their texels, so that everything except the rasterising of triangles
// and sprites (which it skips) runs in unit tests and tools. Clears fill the
// viewport's rectangle of the back buffer; copies are copies of it.
class HeadlessBackend : public RenderBackend {
public:
  HeadlessBackend(int width, int height);

  int Width() const override { return width; }
  int Height() const override { return height; }

  std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint32_t *argb) override;
  void Clear(const Viewport &viewport, bool target, bool depth, uint32_t argb, float z) override;
  void DrawTriangleFan(const Vertex *vertices, int primitiveCount, const DeviceTexture *texture,
                       const FaceDrawState &state) override;
  void DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad) override;
  void DrawFaceBatch(FaceBatch &batch, const FaceDrawState &state) override;
  bool SaveCopy(int slot) override;
  bool RestoreCopy(int slot) override;
  void ReadBackBuffer(uint32_t *pixels) override;
  void WriteBackBuffer(const uint32_t *pixels) override;
  bool Present(const PixelRect &changed) override;
  bool IsLost() const override { return false; }
  bool CanReset() const override { return true; }
  ResetError Reset() override;

  // What was asked of it, for tests.
  int TriangleFanDraws() const { return fanDraws; }
  int SpriteDraws() const { return spriteDraws; }
  int BatchDraws() const { return batchDraws; }
  // Quads of every batch drawn, added up.
  long long BatchQuads() const { return batchQuads; }
  int CopiesSaved() const { return copiesSaved; }
  int CopiesRestored() const { return copiesRestored; }
  int Presents() const { return presents; }
  // What the last Present was told had changed.
  const PixelRect &LastChanged() const { return lastChanged; }

private:
  PixelRect lastChanged;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> colour;
  int fanDraws = 0;
  int spriteDraws = 0;
  int batchDraws = 0;
  long long batchQuads = 0;
  std::vector<std::vector<uint32_t>> copies;
  int copiesSaved = 0;
  int copiesRestored = 0;
  int presents = 0;
};
