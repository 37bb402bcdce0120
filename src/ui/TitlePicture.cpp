#include "ui/TitlePicture.h"

#include "res/DataFiles.h"

bool TitlePicture::Load(GraphicsDevice &graphicsDevice, const DataFiles &files, int width, int height)
{
  if(!picture.LoadFromFile(graphicsDevice, files.Path(FileName)))
    return false;
  screenWidth = width;
  screenHeight = height;
  picture.SetTextureSize(PictureSize, PictureSize);
  position = {static_cast<float>((width - PictureSize) / 2), 0.f};
  return Create(&picture, graphicsDevice);
}

void TitlePicture::DrawSprite()
{
  position = {static_cast<float>((screenWidth - picture.TextureWidth()) / 2), 0.f};
  Widget::DrawSprite(nullptr, nullptr, &position, 0xFFFFFFFF);
}
