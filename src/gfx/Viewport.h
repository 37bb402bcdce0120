#pragma once

#include <cstdint>

// The rectangle of the back buffer that drawing, clearing and projection use,
// in pixels of the 640 by 480 logical screen with y counting down from the top,
// and the depth range it maps clip depth 0..1 onto.
struct Viewport {
  uint32_t x = 0;
  uint32_t y = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  float minZ = 0.f;
  float maxZ = 1.f;

  bool operator==(const Viewport &) const = default;
};
