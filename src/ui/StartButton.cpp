#include "ui/StartButton.h"

bool StartButton::Load(GraphicsDevice &graphicsDevice)
{
  return LoadPictures(graphicsDevice, "data/start_on.bmp", "data/start_off.bmp", {68, 311}, {145, 352, 280, 397});
}
