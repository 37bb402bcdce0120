#pragma once

// A button's hit rectangle in screen pixels. Unlike drawing rectangles it is
// inclusive on all four sides: a pointer on the border counts as inside.
struct HitRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
  bool operator==(const HitRect &) const = default;
};
