#pragma once

#include "base/LogGate.h"
#include "gfx/BackendData.h"
#include "platform/GlShared.h"

#include <epoxy/gl.h>

#include <memory>

class LayerPool;

// The GL copy of a LayerPool's atlas: one RGBA8 texture. Sync uploads only
// the atlas rows that changed, and makes the texture anew (uploading it
// whole) when the atlas outgrew it or the context is new.
class GlLayerAtlas : public BackendData {
public:
  GlLayerAtlas(std::shared_ptr<GlShared> shared, int maxTextureSize);
  ~GlLayerAtlas() override;

  const GlShared *Owner() const { return shared.get(); }
  // Brings the texture up to date with the pool and leaves it bound on the
  // active unit. False when GL failed or the atlas is too tall for it.
  bool Sync(LayerPool &pool);

private:
  void Destroy();

private:
  std::shared_ptr<GlShared> shared;
  int maxTextureSize = 0;
  GLuint name = 0;
  int height = 0;
  unsigned generation = 0;
  // An atlas too tall for the driver is refused in every frame that draws it.
  LogGate tooTallLog;
};
