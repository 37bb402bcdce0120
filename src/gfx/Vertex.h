#pragma once

#include <cstdint>

// The one vertex layout the device draws: position, a diffuse colour word
// (0xAARRGGBB) and one texture coordinate pair; 24 bytes, tightly packed.
struct Vertex {
  float x = 0.f;
  float y = 0.f;
  float z = 0.f;
  uint32_t diffuse = 0xFFFFFFFF;
  float u = 0.f;
  float v = 0.f;
};

static_assert(sizeof(Vertex) == 24, "Vertex must stay 24 bytes");
