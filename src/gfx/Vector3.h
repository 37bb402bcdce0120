#pragma once

// Three single-precision floats: a point or a direction in left-handed
// coordinates (x right, y up, z into the screen).
struct Vector3 {
  float x = 0.f;
  float y = 0.f;
  float z = 0.f;

  constexpr Vector3() = default;
  constexpr Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

  constexpr Vector3 operator+(const Vector3 &o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr Vector3 operator-(const Vector3 &o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
  constexpr bool operator==(const Vector3 &o) const = default;

  constexpr float Dot(const Vector3 &o) const { return x * o.x + y * o.y + z * o.z; }
  constexpr Vector3 Cross(const Vector3 &o) const
  {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
  }
  constexpr float LengthSquared() const { return Dot(*this); }
  float Length() const;

  // Unit vector in the same direction. A vector whose squared length is within
  // 1.1920929e-7 of 1 is returned unchanged; one whose squared length is not
  // above 1.1754944e-38 gives the zero vector.
  Vector3 Normalized() const;
};
