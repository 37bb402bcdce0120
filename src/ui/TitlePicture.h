#pragma once

#include "gfx/Vector2.h"
#include "res/Texture.h"
#include "ui/Widget.h"

class DataFiles;

// The title screen's picture, taken as 512 by 512 texels whatever the file
// holds, centred across the screen's width at the top edge.
class TitlePicture : public Widget {
public:
  static constexpr const char *FileName = "title.bmp";
  static constexpr int PictureSize = 512;

  // Loads the picture from the data folder and places it for a screen of
  // width by height; false when the picture cannot be loaded or the sprite
  // cannot be made.
  virtual bool Load(GraphicsDevice &device, const DataFiles &files, int width, int height);
  // Draws the picture opaque, centred again from the screen width.
  void DrawSprite();

  const Vector2 &Position() const { return position; }

private:
  Texture picture;
  int screenWidth = 0;
  int screenHeight = 0;
  Vector2 position;
};
