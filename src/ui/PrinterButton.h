#pragma once

#include "base/LogGate.h"
#include "ui/ToolButton.h"

class SaveFolder;
class VoxelModel;

// The printer. Releasing on it plays the printing sound and marks a print as
// pending; the next Poll sends the picture to the printer, or, when no
// printer takes it, keeps the page, the picture and the model in the
// pictures folder. It never becomes the selected tool and has no cursor.
class PrinterButton : public ToolButton {
public:
  PrinterButton() : ToolButton(ToolKind::Printer) {}

  bool Load(GraphicsDevice &device, const DataFiles &files) override;
  // After tracking the pointer: when a print is pending, clears it and
  // prints; the outcome is not reported. Always null.
  Event *Poll(const SoundSink &sounds, EventCreate &event, int x, int y) override;
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;

  bool Pending() const { return pending; }

private:
  // Captures the model area into pict.bmp in the save folder (a folder that
  // cannot be written to is reported and the print goes on without the file)
  // and prints it on the default printer. When there is no print server or
  // default printer, or the printer does not take the job, the page (a PDF on
  // the locale's paper), the picture (PNG) and the model (glTF) go into the
  // pictures folder instead, with one line on standard error saying where.
  // False when the page went nowhere.
  bool PrintPicture(GraphicsDevice &device, const SaveFolder &saves, const VoxelModel *model);

private:
  bool pending = false;
  // Each click may fail the same way again.
  LogGate printLog;
};
