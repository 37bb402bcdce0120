#include "ui/CubeButton.h"

#include "base/Log.h"
#include "events/EventCreate.h"
#include "res/DataFiles.h"
#include "ui/ToolPalette.h"

#include <string>

CubeButton::CubeButton(int colourIndex)
  : ToolButton(ToolKind::Cube), colourIndex(colourIndex)
{
}

bool CubeButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  const PaletteEntry *colour = ToolPalette::Colour(colourIndex);
  if(!colour)
  {
    LogLine("cannot load cube button: no palette colour " + std::to_string(colourIndex));
    return false;
  }
  const std::string word = colour->word;
  const CursorFiles files{dataFiles.Path("cube_" + word + ".png"), dataFiles.Path("cursor_cube_" + word + ".bmp"),
                          dataFiles.Path("cursor_cube_mask.bmp"), dataFiles.Path("cursor_cube_" + word + ".png")};
  return LoadWithCursor(graphicsDevice, files, {static_cast<float>(colour->cubeX), 64}, {1, 1},
                        {colour->cubeLeft, 64, colour->cubeRight, 112});
}

int CubeButton::OnRelease(const SoundSink &, EventCreate &event)
{
  const PaletteEntry *colour = ToolPalette::Colour(colourIndex);
  if(hovered && colour)
  {
    event.SetCubeColor(colour->value.red, colour->value.green, colour->value.blue);
    event.SetCursorTool(this);
  }
  return 0;
}
