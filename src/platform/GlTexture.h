#pragma once

#include "gfx/DeviceTexture.h"
#include "platform/GlShared.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

// An RGBA8 texture with a copy of its texels in memory: reads of the whole
// texture come from GL, and the copy lets a new context get the texture back
// after the driver reset the old one.
class GlTexture : public DeviceTexture {
public:
  GlTexture(std::shared_ptr<GlShared> shared, int width, int height, const uint32_t *argb);
  ~GlTexture() override;

  GLuint Name() const { return name; }
  const GlShared *Owner() const { return shared.get(); }

  // Makes the GL texture from the texels in memory (in the current context).
  bool Upload();

  bool Read(uint32_t *argb) const override;

protected:
  bool Store(int x, int y, int w, int h, const uint32_t *argb, int pitch) override;

private:
  std::shared_ptr<GlShared> shared;
  std::vector<uint32_t> texels;
  GLuint name = 0;
};
