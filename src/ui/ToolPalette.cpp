#include "ui/ToolPalette.h"

#include "ui/CubeButton.h"
#include "ui/EraserButton.h"
#include "ui/ExitButton.h"
#include "ui/HandButton.h"
#include "ui/PenButton.h"
#include "ui/PrinterButton.h"

#include <array>

namespace {
  const std::array<PaletteEntry, ToolPalette::ColourCount> colours{{
    {"red", {255, 0, 0}, 128, 120, 176, 112, 120, 160},
    {"green", {0, 255, 0}, 184, 176, 232, 168, 176, 216},
    {"blue", {0, 0, 255}, 240, 232, 288, 224, 232, 272},
    {"cyan", {0, 255, 255}, 298, 290, 346, 282, 290, 330},
    {"magenta", {255, 0, 255}, 352, 344, 400, 336, 344, 384},
    {"yellow", {255, 255, 0}, 408, 400, 456, 392, 400, 440},
    {"white", {255, 255, 255}, 464, 456, 512, 448, 456, 496},
    {"gray", {198, 198, 198}, 518, 510, 566, 502, 510, 550},
    {"black", {0, 0, 0}, 578, 570, 626, 562, 570, 610},
  }};

  // The cube buttons' list order names blue before green; their screen
  // places follow the colour order all the same.
  constexpr std::array<int, ToolPalette::ColourCount> cubeListColours{0, 2, 1, 3, 4, 5, 6, 7, 8};
}

const PaletteEntry *ToolPalette::Colour(int index)
{
  if(index < 0 || index >= ColourCount)
    return nullptr;
  return &colours[static_cast<size_t>(index)];
}

std::unique_ptr<ToolButton> ToolPalette::MakeToolButton(int index)
{
  switch(index)
  {
    case 0:
      return std::make_unique<EraserButton>();
    case 1:
      return std::make_unique<ExitButton>();
    case 2:
      return std::make_unique<PrinterButton>();
    case 3:
      return std::make_unique<HandButton>();
    default:
      break;
  }
  if(index >= FirstPen && index < FirstCube)
    return std::make_unique<PenButton>(index - FirstPen);
  if(index >= FirstCube && index < ButtonCount)
    return std::make_unique<CubeButton>(cubeListColours[static_cast<size_t>(index - FirstCube)]);
  return nullptr;
}
