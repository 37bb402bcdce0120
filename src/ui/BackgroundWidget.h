#pragma once

#include "gfx/Vector2.h"
#include "res/Texture.h"
#include "ui/Widget.h"

#include <string>

class DataFiles;

// The creation screen's background picture, stretched to fill the screen.
class BackgroundWidget : public Widget {
public:
  static constexpr const char *FileName = "background.bmp";

  // Loads the picture from the data folder and works out the scale that
  // stretches it to width by height; false when the picture cannot be loaded.
  virtual bool Load(GraphicsDevice &device, const DataFiles &files, int width, int height);
  // Draws the picture from the screen's top-left corner.
  void DrawSprite();

  const Vector2 &Scale() const { return scale; }

private:
  Texture picture;
  Vector2 scale{1.f, 1.f};
};
