#pragma once

#include "gfx/DeviceListener.h"
#include "gfx/PixelRect.h"
#include "gfx/Sprite.h"
#include "gfx/Vector2.h"

#include <cstdint>
#include <memory>

class GraphicsDevice;
class Texture;

// A flat picture on the 640 by 480 screen, drawn with its own sprite drawer.
// Create registers the widget with the graphics device, which tells it about
// every reset; widgets live from start-up until shutdown and are never taken
// off the device's list one by one.
class Widget : public DeviceListener {
public:
  Widget() = default;
  Widget(const Widget &) = delete;
  Widget &operator=(const Widget &) = delete;
  ~Widget() override;

  bool OnLostDevice(GraphicsDevice &device) override;
  bool OnResetDevice(GraphicsDevice &device) override;

  // Makes the sprite drawer, remembers the texture and the device and joins
  // the device's listeners. False (nothing stored) when the device has no
  // sprite drawer to give.
  virtual bool Create(Texture *texture, GraphicsDevice &device);
  // Draws the current texture: its top-left corner at the translation (null:
  // the origin), its size times the scale (null: unscaled), each texel times
  // the 0xAARRGGBB colour, alpha-blended over what is there.
  virtual void DrawSprite(const PixelRect *source, const Vector2 *scale, const Vector2 *translation,
                          uint32_t colour);

  bool HasSprite() const { return sprite != nullptr; }

protected:
  // One bracketed draw of a texture with this widget's sprite drawer.
  void DrawTexture(const Texture &picture, const PixelRect *source, const Vector2 *scale,
                   const Vector2 *translation, uint32_t colour);

protected:
  GraphicsDevice *device = nullptr;
  std::unique_ptr<Sprite> sprite;
  Texture *texture = nullptr;
};
