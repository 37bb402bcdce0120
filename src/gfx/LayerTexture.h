#pragma once

#include "gfx/DeviceTexture.h"

#include <memory>

class LayerPool;

// A face texture that lives in a layer of a LayerPool: it has the face's full
// size, but keeps (and lets the back end sample) only the texels the pool
// keeps; writes to the others are dropped and they read as 0.
class LayerTexture : public DeviceTexture {
public:
  // Takes a layer of the pool; check Layer() >= 0.
  explicit LayerTexture(std::shared_ptr<LayerPool> pool);
  ~LayerTexture() override;

  bool Read(uint32_t *argb) const override;
  LayerPool *Pool() const override { return pool.get(); }
  int Layer() const override { return layer; }

protected:
  bool Store(int x, int y, int w, int h, const uint32_t *argb, int pitch) override;
  bool StoreRgb(int x, int y, int w, int h, const uint8_t *rgb, size_t stride) override;

private:
  std::shared_ptr<LayerPool> pool;
  int layer = -1;
};
