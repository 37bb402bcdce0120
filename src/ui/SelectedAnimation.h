#pragma once

#include "gfx/Vector2.h"
#include "res/Texture.h"
#include "ui/Widget.h"

#include <array>
#include <cstdint>

class DataFiles;

// The ten-frame mark drawn over the title button that was chosen. The title
// screen places it and steps it one frame per frame.
class SelectedAnimation : public Widget {
public:
  static constexpr int FrameCount = 10;

  // Loads "selected0.png" to "selected9.png" from the data folder; false at
  // the first picture that cannot be loaded.
  bool Load(GraphicsDevice &device, const DataFiles &files);
  // Chooses the frame drawn next; an index outside 0..9 is ignored.
  void SetFrame(int index);
  // Draws the current frame in white with the given alpha (0..255).
  void DrawSprite(int alpha);

  void SetPosition(Vector2 at) { position = at; }
  const Vector2 &Position() const { return position; }
  int FrameIndex() const { return frameIndex; }

private:
  std::array<Texture, FrameCount> frames;
  Vector2 position;
  int frameIndex = 0;
};
