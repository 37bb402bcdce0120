#pragma once

#include "ui/ToolButton.h"

// The eraser: once released on, its cursor follows the mouse.
class EraserButton : public ToolButton {
public:
  EraserButton() : ToolButton(ToolKind::Eraser) {}

  bool Load(GraphicsDevice &device, const DataFiles &files) override;
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;
};
