#pragma once

#include "ui/ToolButton.h"

struct PaletteEntry;

// A pen of one palette colour (ToolPalette::Colour). Released on, it sets the
// creation screen's pen colour (the cube colour stays) and shows its cursor.
class PenButton : public ToolButton {
public:
  explicit PenButton(int colourIndex);

  // False also for a colour index outside the palette.
  bool Load(GraphicsDevice &device, const DataFiles &files) override;
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;

  int ColourIndex() const { return colourIndex; }

private:
  int colourIndex = 0;
};
