#include "ui/Widget.h"

#include "gfx/GraphicsDevice.h"
#include "res/Texture.h"

Widget::~Widget()
{
  if(sprite)
  {
    sprite->OnLostDevice();
    sprite.reset();
  }
}

bool Widget::OnLostDevice(GraphicsDevice &)
{
  if(sprite)
    sprite->OnLostDevice();
  return true;
}

bool Widget::OnResetDevice(GraphicsDevice &)
{
  if(sprite)
    sprite->OnResetDevice();
  return true;
}

bool Widget::Create(Texture *picture, GraphicsDevice &graphicsDevice)
{
  std::unique_ptr<Sprite> created = graphicsDevice.CreateSprite();
  if(!created)
    return false;
  sprite = std::move(created);
  texture = picture;
  device = &graphicsDevice;
  device->Listeners().Add(this);
  return true;
}

void Widget::DrawSprite(const PixelRect *source, const Vector2 *scale, const Vector2 *translation, uint32_t colour)
{
  if(texture)
    DrawTexture(*texture, source, scale, translation, colour);
}

void Widget::DrawTexture(const Texture &picture, const PixelRect *source, const Vector2 *scale,
                         const Vector2 *translation, uint32_t colour)
{
  if(!sprite)
    return;
  sprite->Begin();
  sprite->Draw(picture.Get(), source, scale, translation, colour);
  sprite->End();
}
