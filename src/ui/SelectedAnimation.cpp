#include "ui/SelectedAnimation.h"

#include <string>

bool SelectedAnimation::Load(GraphicsDevice &graphicsDevice)
{
  for(int i = 0; i < FrameCount; ++i)
    if(!frames[static_cast<size_t>(i)].LoadFromFile(graphicsDevice, "data/selected" + std::to_string(i) + ".png"))
      return false;
  position = {0.f, 0.f};
  return Create(&frames[0], graphicsDevice);
}

void SelectedAnimation::SetFrame(int index)
{
  if(index >= 0 && index < FrameCount)
    frameIndex = index;
}

void SelectedAnimation::DrawSprite(int alpha)
{
  const uint32_t colour = (static_cast<uint32_t>(alpha) & 0xFF) << 24 | 0xFFFFFF;
  DrawTexture(frames[static_cast<size_t>(frameIndex)], nullptr, nullptr, &position, colour);
}
