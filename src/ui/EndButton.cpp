#include "ui/EndButton.h"

#include "res/DataFiles.h"

bool EndButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  return LoadPictures(graphicsDevice, dataFiles.Path("end_on.bmp"), dataFiles.Path("end_off.bmp"), {302, 311},
                      {360, 352, 495, 397});
}
