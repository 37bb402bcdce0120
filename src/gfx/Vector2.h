#pragma once

// Two single-precision floats: a position or a scale on the screen.
struct Vector2 {
  float x = 0.f;
  float y = 0.f;

  bool operator==(const Vector2 &) const = default;
};
