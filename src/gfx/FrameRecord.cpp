#include "gfx/FrameRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
  PixelRect RectOf(const Viewport &viewport)
  {
    return {static_cast<int>(viewport.x), static_cast<int>(viewport.y),
            static_cast<int>(viewport.x + viewport.width), static_cast<int>(viewport.y + viewport.height)};
  }

  // What a command may draw on: its viewport, and for a sprite no more than
  // the pixels its quad touches.
  PixelRect Reach(const DrawCommand &command)
  {
    switch(command.kind)
    {
      case DrawCommand::Kind::Clear: return RectOf(command.viewport);
      case DrawCommand::Kind::Fan:
      case DrawCommand::Kind::Batch: return RectOf(command.state.viewport);
      case DrawCommand::Kind::Sprite:
      {
        const SpriteQuad &quad = command.quad;
        const PixelRect clip = RectOf(quad.viewport);
        // A quad far off screen is held to the viewport before any
        // conversion to whole pixels.
        const auto held = [](float value, int low, int high) {
          return std::isnan(value) ? low : static_cast<int>(std::clamp(value, static_cast<float>(low),
                                                                       static_cast<float>(high)));
        };
        PixelRect rect;
        rect.left = held(std::floor(std::min(quad.left, quad.right)), clip.left, clip.right);
        rect.right = held(std::ceil(std::max(quad.left, quad.right)), clip.left, clip.right);
        rect.top = held(std::floor(std::min(quad.top, quad.bottom)), clip.top, clip.bottom);
        rect.bottom = held(std::ceil(std::max(quad.top, quad.bottom)), clip.top, clip.bottom);
        return rect;
      }
    }
    return {};
  }
}

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

PixelRect FrameRecord::Bounds(int first) const
{
  PixelRect bounds;
  for(int i = std::max(first, 0); i < Count(); ++i)
    bounds = bounds.Union(Reach(commands[static_cast<size_t>(i)]));
  return bounds;
}
