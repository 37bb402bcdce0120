#pragma once

#include <cstdint>

// A colour for drawing: red, green and blue from 0 to 1.
struct ArtColour {
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;

  static ArtColour FromHex(uint32_t rgb)
  {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
  }
  // t = 0 gives this colour, t = 1 gives `other`.
  ArtColour Mix(const ArtColour &other, double t) const
  {
    return {red + (other.red - red) * t, green + (other.green - green) * t,
            blue + (other.blue - blue) * t};
  }
  ArtColour Lighter(double t) const { return Mix({1.0, 1.0, 1.0}, t); }
  ArtColour Darker(double t) const { return Mix({0.0, 0.0, 0.0}, t); }
  double Luma() const { return 0.299 * red + 0.587 * green + 0.114 * blue; }
};
