#pragma once

// A rectangle of pixels or texels; right and bottom are exclusive.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  // The smallest rectangle holding both (an empty one adds nothing).
  PixelRect Union(const PixelRect &o) const
  {
    if(o.Empty())
      return *this;
    if(Empty())
      return o;
    return {left < o.left ? left : o.left, top < o.top ? top : o.top, right > o.right ? right : o.right,
            bottom > o.bottom ? bottom : o.bottom};
  }
  bool operator==(const PixelRect &) const = default;
};
