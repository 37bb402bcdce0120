#include "gfx/FrameRecord.h"

#include <cstring>

int FrameRecord::AddVertices(const Vertex *first, int count)
{
  const int index = static_cast<int>(vertices.size());
  vertices.insert(vertices.end(), first, first + count);
  return index;
}

void FrameRecord::MarkLayer()
{
  // A layer with nothing in it is no layer.
  if(!marks.empty() && marks.back() == Count())
    return;
  marks.push_back(Count());
}

void FrameRecord::Clear()
{
  commands.clear();
  vertices.clear();
  marks.clear();
}

bool FrameRecord::SameCommands(const FrameRecord &o, int first, int end) const
{
  for(int i = first; i < end; ++i)
  {
    const DrawCommand &c = commands[static_cast<size_t>(i)];
    if(!(c == o.commands[static_cast<size_t>(i)]))
      return false;
    if(c.kind == DrawCommand::Kind::Fan &&
       std::memcmp(&vertices[static_cast<size_t>(c.firstVertex)], &o.vertices[static_cast<size_t>(c.firstVertex)],
                   (static_cast<size_t>(c.primitiveCount) + 2) * sizeof(Vertex)) != 0)
      return false;
  }
  return true;
}

bool FrameRecord::SameUpTo(const FrameRecord &o, int mark) const
{
  if(mark < 0 || mark >= MarkCount() || mark >= o.MarkCount())
    return false;
  for(int i = 0; i <= mark; ++i)
    if(marks[static_cast<size_t>(i)] != o.marks[static_cast<size_t>(i)])
      return false;
  return SameCommands(o, 0, marks[static_cast<size_t>(mark)]);
}

bool FrameRecord::operator==(const FrameRecord &o) const
{
  return Count() == o.Count() && marks == o.marks && SameCommands(o, 0, Count());
}
