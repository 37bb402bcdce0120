#include "gfx/Sprite.h"

#include "gfx/GraphicsDevice.h"

bool Sprite::Begin()
{
  if(begun)
    return false;
  begun = true;
  return true;
}

bool Sprite::Draw(const DeviceTexture *texture, const PixelRect *source, const Vector2 *scale,
                  const Vector2 *translation, uint32_t colour)
{
  if(!begun || !texture)
    return false;

  const PixelRect whole{0, 0, texture->Width(), texture->Height()};
  const PixelRect &rect = source ? *source : whole;
  const Vector2 size{scale ? scale->x : 1.f, scale ? scale->y : 1.f};
  const Vector2 at = translation ? *translation : Vector2{};

  SpriteQuad quad;
  quad.left = at.x;
  quad.top = at.y;
  quad.right = at.x + rect.Width() * size.x;
  quad.bottom = at.y + rect.Height() * size.y;
  quad.u0 = static_cast<float>(rect.left) / texture->Width();
  quad.v0 = static_cast<float>(rect.top) / texture->Height();
  quad.u1 = static_cast<float>(rect.right) / texture->Width();
  quad.v1 = static_cast<float>(rect.bottom) / texture->Height();
  quad.colour = colour;
  quad.smooth = size.x != 1.f || size.y != 1.f;
  device.DrawSpriteQuad(*texture, quad);
  return true;
}

bool Sprite::End()
{
  if(!begun)
    return false;
  begun = false;
  return true;
}
