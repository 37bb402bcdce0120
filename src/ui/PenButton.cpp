#include "ui/PenButton.h"

#include "base/Log.h"
#include "events/EventCreate.h"
#include "res/DataFiles.h"
#include "ui/ToolPalette.h"

#include <string>

PenButton::PenButton(int colourIndex)
  : ToolButton(ToolKind::Pen), colourIndex(colourIndex)
{
}

bool PenButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  const PaletteEntry *colour = ToolPalette::Colour(colourIndex);
  if(!colour)
  {
    LogLine("cannot load pen button: no palette colour " + std::to_string(colourIndex));
    return false;
  }
  const std::string word = colour->word;
  const CursorFiles files{dataFiles.Path("pen_" + word + ".png"), dataFiles.Path("cursor_pen_" + word + ".bmp"),
                          dataFiles.Path("cursor_pen_mask.bmp"), dataFiles.Path("cursor_pen_" + word + ".png")};
  return LoadWithCursor(graphicsDevice, files, {static_cast<float>(colour->penX), 16}, {1, 60},
                        {colour->penLeft, 16, colour->penRight, 64});
}

int PenButton::OnRelease(const SoundSink &, EventCreate &event)
{
  const PaletteEntry *colour = ToolPalette::Colour(colourIndex);
  if(hovered && colour)
  {
    event.SetPenColor(colour->value.red, colour->value.green, colour->value.blue);
    event.SetCursorTool(this);
  }
  return 0;
}
