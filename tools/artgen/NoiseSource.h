#pragma once

#include <cstdint>

// A fixed-seed pseudo-random source (xorshift32), so that noise in the
// sounds is the same on every run and every machine.
class NoiseSource {
public:
  explicit NoiseSource(uint32_t seed) : state(seed == 0 ? 0x9E3779B9u : seed) {}

  uint32_t NextWord()
  {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  // Uniform in [-1, 1).
  double Next() { return (NextWord() >> 8) / 8388608.0 - 1.0; }

private:
  uint32_t state = 0;
};
