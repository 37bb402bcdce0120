#include "ui/EndButton.h"

bool EndButton::Load(GraphicsDevice &graphicsDevice)
{
  return LoadPictures(graphicsDevice, "data/end_on.bmp", "data/end_off.bmp", {302, 311}, {360, 352, 495, 397});
}
