#pragma once

#include "gfx/DrawCommand.h"
#include "gfx/Vertex.h"

#include <vector>

// The drawing of one frame, in order, as the device records it until the
// frame is presented. The part before the overlay mark is the scene; what
// follows (the cursor) is drawn over the finished scene.
class FrameRecord {
public:
  void Add(const DrawCommand &command) { commands.push_back(command); }
  // Copies a fan's vertices in; returns the index of the first.
  int AddVertices(const Vertex *first, int count);
  // What is recorded from now on belongs to the overlay.
  void MarkOverlay() { overlayStart = static_cast<int>(commands.size()); }
  void Clear();

  int Count() const { return static_cast<int>(commands.size()); }
  const DrawCommand &At(int i) const { return commands[static_cast<size_t>(i)]; }
  const Vertex *VerticesAt(int first) const { return vertices.data() + first; }
  // Index of the first overlay command; Count() when there is no overlay.
  int OverlayStart() const { return overlayStart < 0 ? Count() : overlayStart; }
  bool HasOverlay() const { return overlayStart >= 0; }

  // Both records draw the same (commands, fan vertices, overlay mark).
  bool operator==(const FrameRecord &o) const;
  // The scenes (everything before the overlay) draw the same.
  bool SameScene(const FrameRecord &o) const;

private:
  std::vector<DrawCommand> commands;
  std::vector<Vertex> vertices;
  int overlayStart = -1;
};
