#pragma once

#include "gfx/DrawCommand.h"
#include "gfx/PixelRect.h"
#include "gfx/Vertex.h"

#include <vector>

// The drawing of one frame, in order, as the device records it until the
// frame is presented, cut into layers: each mark starts a layer drawn over
// everything before it (the palette, then the model over it, then the cursor
// over both).
class FrameRecord {
public:
  void Add(const DrawCommand &command) { commands.push_back(command); }
  // Copies a fan's vertices in; returns the index of the first.
  int AddVertices(const Vertex *first, int count);
  // What is recorded from now on is a new layer.
  void MarkLayer();
  void Clear();

  int Count() const { return static_cast<int>(commands.size()); }
  const DrawCommand &At(int i) const { return commands[static_cast<size_t>(i)]; }
  const Vertex *VerticesAt(int first) const { return vertices.data() + first; }
  // The marks: index of the first command of each layer after the first.
  int MarkCount() const { return static_cast<int>(marks.size()); }
  int Mark(int i) const { return marks[static_cast<size_t>(i)]; }

  // Both records draw the same (commands, fan vertices, marks).
  bool operator==(const FrameRecord &o) const;
  // Both records draw the same up to their mark `mark` (which both have at
  // the same place).
  bool SameUpTo(const FrameRecord &o, int mark) const;
  // The smallest rectangle of back buffer pixels that holds everything the
  // commands from `first` on may draw (each within its viewport); empty when
  // there are none.
  PixelRect Bounds(int first) const;

private:
  // The commands [first, end) of both draw the same.
  bool SameCommands(const FrameRecord &o, int first, int end) const;

private:
  std::vector<DrawCommand> commands;
  std::vector<Vertex> vertices;
  std::vector<int> marks;
};
