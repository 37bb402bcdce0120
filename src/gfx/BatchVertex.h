#pragma once

#include <cstdint>

// A corner of a face in a FaceBatch: the device's vertex (position, diffuse
// word, texture coordinate) and the layer of the pool the face's texels are
// in; 28 bytes, tightly packed.
struct BatchVertex {
  float x = 0.f;
  float y = 0.f;
  float z = 0.f;
  uint32_t diffuse = 0xFFFFFFFF;
  float u = 0.f;
  float v = 0.f;
  float layer = 0.f;
};

static_assert(sizeof(BatchVertex) == 28, "BatchVertex must stay 28 bytes");
