#pragma once

#include "ui/TitleButton.h"

// The title screen's start button, leading to the creation screen.
class StartButton : public TitleButton {
public:
  bool Load(GraphicsDevice &device, const DataFiles &files) override;
};
