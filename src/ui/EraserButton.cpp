#include "ui/EraserButton.h"

#include "events/EventCreate.h"
#include "res/DataFiles.h"

bool EraserButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  const CursorFiles files{dataFiles.Path("peke.png"), dataFiles.Path("cursor_delete.bmp"),
                          dataFiles.Path("cursor_delete_mask.bmp"), dataFiles.Path("cursor_delete.png")};
  return LoadWithCursor(graphicsDevice, files, {8, 208}, {1, 1}, {16, 208, 88, 288});
}

int EraserButton::OnRelease(const SoundSink &, EventCreate &event)
{
  if(hovered)
    event.SetCursorTool(this);
  return 0;
}
