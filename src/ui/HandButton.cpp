#include "ui/HandButton.h"

#include "events/EventCreate.h"
#include "res/DataFiles.h"

bool HandButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  const CursorFiles files{dataFiles.Path("hand.png"), dataFiles.Path("cursor_hand.bmp"),
                          dataFiles.Path("cursor_hand_mask.bmp"), dataFiles.Path("cursor_hand.png")};
  return LoadWithCursor(graphicsDevice, files, {8, 120}, {26, 26}, {16, 120, 88, 200});
}

int HandButton::OnRelease(const SoundSink &, EventCreate &event)
{
  if(hovered)
    event.SetCursorTool(this);
  return 0;
}
