#pragma once

#include <cstdint>
#include <vector>

// A picture decoded into memory: width by height words 0xAARRGGBB, row 0 at the top.
struct ArgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
