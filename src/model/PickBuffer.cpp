#include "model/PickBuffer.h"

#include <cmath>
#include <new>

namespace {
  // The integer nearest below-or-equal in magnitude to an already truncated
  // float, clamped to [low, high] while still a float, so that values far out
  // of range (or infinite) convert safely. `value` must not be NaN.
  int ClampToInt(float value, int low, int high)
  {
    if(value <= static_cast<float>(low))
      return low;
    if(value >= static_cast<float>(high))
      return high;
    return static_cast<int>(value);
  }
}

bool PickBuffer::Init(int bufferWidth, int bufferHeight, int rectRight, int rectBottom)
{
  if(bufferWidth <= 0 || bufferHeight <= 0 || rectRight < 0 || rectBottom < 0 || rectRight > bufferWidth ||
     rectBottom > bufferHeight)
    return false;
  try
  {
    records.assign(static_cast<size_t>(bufferWidth) * bufferHeight, PickRecord{});
  }
  catch(const std::bad_alloc &)
  {
    return false;
  }
  width = bufferWidth;
  height = bufferHeight;
  right = rectRight;
  bottom = rectBottom;
  return true;
}

void PickBuffer::Reset()
{
  for(PickRecord &record : records)
  {
    record.depth = EmptyDepth;
    record.mesh = nullptr;
    record.face = nullptr;
  }
}

void PickBuffer::Forget(const CubeMesh *mesh)
{
  for(PickRecord &record : records)
    if(record.mesh == mesh)
    {
      record.depth = EmptyDepth;
      record.mesh = nullptr;
      record.face = nullptr;
    }
}

void PickBuffer::Rasterise(const Vector3 &q0, const Vector3 &q1, const Vector3 &q2, const PickRecord &tag)
{
  const Vector3 q[3] = {q0, q1, q2};
  for(const Vector3 &p : q)
    if(std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z))
      return;

  Vector3 delta[3];
  for(int i = 0; i < 3; ++i)
    delta[i] = q[(i + 1) % 3] - q[i];

  float xmin = q0.x, xmax = q0.x, ymin = q0.y, ymax = q0.y;
  for(int i = 1; i < 3; ++i)
  {
    xmin = std::fmin(xmin, q[i].x);
    xmax = std::fmax(xmax, q[i].x);
    ymin = std::fmin(ymin, q[i].y);
    ymax = std::fmax(ymax, q[i].y);
  }

  // Rows run from round(ymin) to round(ymax), at least 0 and at most bottom.
  const int firstRow = ClampToInt(std::trunc(ymin + 0.5f), 0, bottom + 1);
  const int lastRow = ClampToInt(std::trunc(ymax + 0.5f), -1, bottom);

  float zL = 0.f;
  float zR = 0.f;
  for(int y = firstRow; y <= lastRow; ++y)
  {
    const float row = static_cast<float>(y);
    float xL = xmax;
    float xR = xmin;
    for(int i = 0; i < 3; ++i)
    {
      if(!(std::fabs(delta[i].y) > 0.f))
        continue;
      const float t = (row - q[i].y) / delta[i].y;
      if(t >= 0.f && t <= 1.f)
      {
        const float x = q[i].x + t * delta[i].x;
        const float z = q[i].z + t * delta[i].z;
        if(x <= xL)
        {
          xL = x;
          zL = z;
        }
        if(x >= xR)
        {
          xR = x;
          zR = z;
        }
      }
    }

    const float slope = xR - xL >= 1.f ? (zR - zL) / (xR - xL) : 0.f;
    // round(xL) from 0; trunc(trunc(xR) + 0.5) up to the buffer width. The
    // clamps keep every value that can matter and make the conversion safe.
    const int firstColumn = ClampToInt(std::trunc(xL + 0.5f), 0, width + 1);
    const int lastColumn = ClampToInt(std::trunc(std::trunc(xR) + 0.5f), -1, width);

    PickRecord *rowRecords = records.data() + static_cast<size_t>(y) * width;
    for(int x = firstColumn; x <= lastColumn; ++x)
    {
      const float z = (static_cast<float>(x) - xL) * slope + zL;
      if(z < 0.00001f)
      {
        if(slope > 0.f)
          break;
        continue;
      }
      if(z > 1000.f)
      {
        if(slope < 0.f)
          break;
        continue;
      }
      if(x < right && y < bottom && z < rowRecords[x].depth)
      {
        PickRecord &record = rowRecords[x];
        record = tag;
        record.depth = z;
      }
    }
  }
}
