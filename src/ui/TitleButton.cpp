#include "ui/TitleButton.h"

#include "events/SoundSink.h"

void TitleButton::Poll(const SoundSink &sounds, int x, int y)
{
  const bool inside = hitRect.Contains(x, y);
  if(inside && !hovered)
    sounds.Play(SoundId::Select);
  hovered = inside;
}

void TitleButton::DrawSprite()
{
  DrawTexture(onPicture, nullptr, nullptr, &position, hovered ? OpaqueColour : TranslucentColour);
}

bool TitleButton::LoadPictures(GraphicsDevice &graphicsDevice, const std::string &onFile,
                               const std::string &offFile, Vector2 at, HitRect hit)
{
  if(!onPicture.LoadFromFile(graphicsDevice, onFile))
    return false;
  if(!offPicture.LoadFromFile(graphicsDevice, offFile))
    return false;
  position = at;
  hitRect = hit;
  return Create(&onPicture, graphicsDevice);
}
