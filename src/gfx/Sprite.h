#pragma once

#include "gfx/PixelRect.h"
#include "gfx/Vector2.h"

#include <cstdint>

class DeviceTexture;
class GraphicsDevice;

// Draws textures as screen-aligned pictures: the quad's top-left corner lands
// at the translation in pixels, its size is the texture's (or the source
// rectangle's) times the scale, one texel to one pixel at scale 1, and every
// texel is multiplied by a 0xAARRGGBB colour and alpha-blended over what is
// already drawn. Depth and culling play no part.
class Sprite {
public:
  explicit Sprite(GraphicsDevice &device) : device(device) {}

  bool Begin();
  // Null source: the whole texture; null scale: (1, 1); null translation: (0, 0).
  bool Draw(const DeviceTexture *texture, const PixelRect *source, const Vector2 *scale,
            const Vector2 *translation, uint32_t colour);
  bool End();

  // A sprite keeps nothing on the device, so losing and resetting it only
  // ends a drawing bracket that was left open.
  void OnLostDevice() { begun = false; }
  void OnResetDevice() {}

private:
  GraphicsDevice &device;
  bool begun = false;
};
