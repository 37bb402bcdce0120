#pragma once

#include "ui/TitleButton.h"

// The title screen's end button, which closes the program.
class EndButton : public TitleButton {
public:
  bool Load(GraphicsDevice &device, const DataFiles &files) override;
};
