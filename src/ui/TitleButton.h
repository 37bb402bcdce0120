#pragma once

#include "gfx/Vector2.h"
#include "res/Texture.h"
#include "ui/HitRect.h"
#include "ui/Widget.h"

#include <cstdint>
#include <string>

class DataFiles;
class SoundSink;

// A button of the title screen. Its "on" picture is drawn opaque while the
// pointer is over the inclusive hit rectangle and translucent otherwise; the
// "off" picture is loaded (a missing one stops start-up) but never shown.
class TitleButton : public Widget {
public:
  static constexpr uint32_t OpaqueColour = 0xFFFFFFFF;
  static constexpr uint32_t TranslucentColour = 0x62FFFFFF;

  // Loads both pictures, sets the layout and creates the sprite; false when
  // a picture is missing or unreadable.
  virtual bool Load(GraphicsDevice &device, const DataFiles &files) = 0;
  // Tracks the pointer; plays the hover sound when it enters the rectangle.
  virtual void Poll(const SoundSink &sounds, int x, int y);
  void DrawSprite();

  bool Hovered() const { return hovered; }
  const Vector2 &Position() const { return position; }
  const HitRect &HitRectangle() const { return hitRect; }

protected:
  bool LoadPictures(GraphicsDevice &device, const std::string &onFile, const std::string &offFile, Vector2 at,
                    HitRect hit);

private:
  Texture onPicture;
  Texture offPicture;
  Vector2 position;
  bool hovered = false;
  HitRect hitRect;
};
