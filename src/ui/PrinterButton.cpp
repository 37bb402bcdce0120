#include "ui/PrinterButton.h"

#include "events/SoundSink.h"
#include "res/PicturePrinter.h"

bool PrinterButton::Load(GraphicsDevice &graphicsDevice)
{
  return LoadIconOnly(graphicsDevice, "data/printer.png", {8, 296}, {16, 296, 88, 376});
}

Event *PrinterButton::Poll(const SoundSink &sounds, EventCreate &event, int x, int y)
{
  ToolButton::Poll(sounds, event, x, y);
  if(pending)
  {
    pending = false;
    // A print that fails leaves no trace: there is nothing to tell a child.
    if(device)
      PrintPicture(*device);
  }
  return nullptr;
}

int PrinterButton::OnRelease(const SoundSink &sounds, EventCreate &)
{
  if(hovered)
  {
    pending = true;
    sounds.Play(SoundId::Print);
  }
  return 0;
}

bool PrinterButton::PrintPicture(GraphicsDevice &graphicsDevice)
{
  PicturePrinter printer;
  return printer.Print(graphicsDevice);
}
