#include "gfx/Vector3.h"

#include <cmath>

float Vector3::Length() const
{
  return std::sqrt(LengthSquared());
}

Vector3 Vector3::Normalized() const
{
  const float squared = LengthSquared();
  if(std::fabs(squared - 1.f) <= 1.1920929e-7f)
    return *this;
  if(squared <= 1.1754944e-38f)
    return {};
  return *this * (1.f / std::sqrt(squared));
}
