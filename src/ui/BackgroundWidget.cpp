#include "ui/BackgroundWidget.h"

#include "res/DataFiles.h"

bool BackgroundWidget::Load(GraphicsDevice &graphicsDevice, const DataFiles &files, int width, int height)
{
  if(!picture.LoadFromFile(graphicsDevice, files.Path(FileName)))
    return false;

  // Textures keep the file's own size, so the texture tells the bitmap's size.
  const int bitmapWidth = picture.Get()->Width();
  const int bitmapHeight = picture.Get()->Height();
  picture.SetTextureSize(bitmapWidth, bitmapHeight);
  scale.x = static_cast<float>(static_cast<double>(width) / bitmapWidth);
  scale.y = static_cast<float>(static_cast<double>(height) / bitmapHeight);
  return Create(&picture, graphicsDevice);
}

void BackgroundWidget::DrawSprite()
{
  Widget::DrawSprite(nullptr, &scale, nullptr, 0xFFFFFFFF);
}
