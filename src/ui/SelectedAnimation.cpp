#include "ui/SelectedAnimation.h"

#include "res/DataFiles.h"

#include <string>

bool SelectedAnimation::Load(GraphicsDevice &graphicsDevice, const DataFiles &files)
{
  for(int i = 0; i < FrameCount; ++i)
  {
    const std::string name = "selected" + std::to_string(i) + ".png";
    if(!frames[static_cast<size_t>(i)].LoadFromFile(graphicsDevice, files.Path(name)))
      return false;
  }
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
