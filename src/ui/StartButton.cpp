#include "ui/StartButton.h"

#include "res/DataFiles.h"

bool StartButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  return LoadPictures(graphicsDevice, dataFiles.Path("start_on.bmp"), dataFiles.Path("start_off.bmp"), {68, 311},
                      {145, 352, 280, 397});
}
