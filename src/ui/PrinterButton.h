#pragma once

#include "ui/ToolButton.h"

// The printer. Releasing on it plays the printing sound and marks a print as
// pending; the next Poll sends the picture to the printer. It never becomes
// the selected tool and has no cursor.
class PrinterButton : public ToolButton {
public:
  PrinterButton() : ToolButton(ToolKind::Printer) {}

  bool Load(GraphicsDevice &device) override;
  // After tracking the pointer: when a print is pending, clears it and
  // prints; the outcome is not reported. Always null.
  Event *Poll(const SoundSink &sounds, EventCreate &event, int x, int y) override;
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;

  bool Pending() const { return pending; }

private:
  // Captures the model area into "data/pict.bmp" and prints it on the default
  // printer; false when nothing was printed.
  bool PrintPicture(GraphicsDevice &device);

private:
  bool pending = false;
};
