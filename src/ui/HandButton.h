#pragma once

#include "ui/ToolButton.h"

// The hand that turns the view: once released on, its cursor follows the mouse.
class HandButton : public ToolButton {
public:
  HandButton() : ToolButton(ToolKind::Hand) {}

  bool Load(GraphicsDevice &device, const DataFiles &files) override;
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;
};
