#include "ui/TitlePicture.h"

bool TitlePicture::Load(GraphicsDevice &graphicsDevice, int width, int height)
{
  if(!picture.LoadFromFile(graphicsDevice, FileName))
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
