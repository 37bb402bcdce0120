#include "ui/EraserButton.h"

#include "events/EventCreate.h"

bool EraserButton::Load(GraphicsDevice &graphicsDevice)
{
  const CursorFiles files{"data/peke.png", "data/cursor_delete.bmp", "data/cursor_delete_mask.bmp",
                          "data/cursor_delete.png"};
  return LoadWithCursor(graphicsDevice, files, {8, 208}, {1, 1}, {16, 208, 88, 288});
}

int EraserButton::OnRelease(const SoundSink &, EventCreate &event)
{
  if(hovered)
    event.SetCursorTool(this);
  return 0;
}
