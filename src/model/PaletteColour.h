#pragma once

#include "res/RgbColour.h"

// The nine colours shared by the pens and the cube tools, in palette order.
enum class PaletteColour { Red, Green, Blue, Cyan, Magenta, Yellow, White, Gray, Black };

inline constexpr int PaletteColourCount = 9;

// The red, green and blue bytes of a palette colour.
constexpr RgbColour PaletteRgb(PaletteColour colour)
{
  constexpr RgbColour values[PaletteColourCount] = {
    {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255},
    {255, 255, 0}, {255, 255, 255}, {198, 198, 198}, {0, 0, 0}};
  return values[static_cast<int>(colour)];
}
