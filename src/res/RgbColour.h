#pragma once

#include <cstdint>

// Three bytes in the order red, green, blue: the layout of every image the
// program keeps in memory and of the texels in the model file.
struct RgbColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  bool operator==(const RgbColour &) const = default;
};

static_assert(sizeof(RgbColour) == 3, "RgbColour must stay three bytes");
