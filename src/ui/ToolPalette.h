#pragma once

#include "res/RgbColour.h"

#include <memory>

class ToolButton;

// One of the nine palette colours with the places of its pen and cube buttons.
// Pen buttons sit in the row y 16..64, cube buttons in the row y 64..112.
struct PaletteEntry {
  // The colour's word in the pictures' file names ("red" for "data/pen_red.png").
  const char *word = "";
  RgbColour value;
  int penX = 0;
  int penLeft = 0;
  int penRight = 0;
  int cubeX = 0;
  int cubeLeft = 0;
  int cubeRight = 0;
};

// The creation screen's palette: its colours and the 22 buttons in the
// studio's order.
namespace ToolPalette {
  constexpr int ColourCount = 9;
  constexpr int ButtonCount = 22;
  // List indices of the first pen and the first cube button.
  constexpr int FirstPen = 4;
  constexpr int FirstCube = 13;

  // The colour at the index in screen order (red, green, blue, cyan, magenta,
  // yellow, white, gray, black); null outside 0..8.
  const PaletteEntry *Colour(int index);

  // A new, not yet loaded button for the studio's list index: eraser, exit,
  // printer, hand, the nine pens in screen order, then the nine cubes with
  // blue before green (red, blue, green, cyan, ...). Null outside 0..21.
  std::unique_ptr<ToolButton> MakeToolButton(int index);
}
