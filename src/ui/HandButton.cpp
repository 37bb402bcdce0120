#include "ui/HandButton.h"

#include "events/EventCreate.h"

bool HandButton::Load(GraphicsDevice &graphicsDevice)
{
  const CursorFiles files{"data/hand.png", "data/cursor_hand.bmp", "data/cursor_hand_mask.bmp",
                          "data/cursor_hand.png"};
  return LoadWithCursor(graphicsDevice, files, {8, 120}, {26, 26}, {16, 120, 88, 200});
}

int HandButton::OnRelease(const SoundSink &, EventCreate &event)
{
  if(hovered)
    event.SetCursorTool(this);
  return 0;
}
