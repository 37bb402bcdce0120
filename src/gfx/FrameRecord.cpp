#include "gfx/FrameRecord.h"

#include <algorithm>
#include <cstring>

namespace {
  bool SameVertices(const std::vector<Vertex> &a, const std::vector<Vertex> &b, const DrawCommand &c)
  {
    if(c.kind != DrawCommand::Kind::Fan)
      return true;
    const size_t first = static_cast<size_t>(c.firstVertex);
    const size_t count = static_cast<size_t>(c.primitiveCount) + 2;
    return std::memcmp(&a[first], &b[first], count * sizeof(Vertex)) == 0;
  }
}

int FrameRecord::AddVertices(const Vertex *first, int count)
{
  const int index = static_cast<int>(vertices.size());
  vertices.insert(vertices.end(), first, first + count);
  return index;
}

void FrameRecord::Clear()
{
  commands.clear();
  vertices.clear();
  overlayStart = -1;
}

bool FrameRecord::SameScene(const FrameRecord &o) const
{
  const int end = OverlayStart();
  if(end != o.OverlayStart())
    return false;
  for(int i = 0; i < end; ++i)
    if(!(commands[static_cast<size_t>(i)] == o.commands[static_cast<size_t>(i)]) ||
       !SameVertices(vertices, o.vertices, commands[static_cast<size_t>(i)]))
      return false;
  return true;
}

bool FrameRecord::operator==(const FrameRecord &o) const
{
  if(Count() != o.Count() || overlayStart != o.overlayStart || !SameScene(o))
    return false;
  for(int i = OverlayStart(); i < Count(); ++i)
    if(!(commands[static_cast<size_t>(i)] == o.commands[static_cast<size_t>(i)]) ||
       !SameVertices(vertices, o.vertices, commands[static_cast<size_t>(i)]))
      return false;
  return true;
}
