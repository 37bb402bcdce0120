#include "ui/PrinterButton.h"

#include "events/EventCreate.h"
#include "events/SoundSink.h"
#include "res/DataFiles.h"
#include "res/PicturePrinter.h"
#include "store/SaveFolder.h"

#include <string>

bool PrinterButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  return LoadIconOnly(graphicsDevice, dataFiles.Path("printer.png"), {8, 296}, {16, 296, 88, 376});
}

Event *PrinterButton::Poll(const SoundSink &sounds, EventCreate &event, int x, int y)
{
  ToolButton::Poll(sounds, event, x, y);
  if(pending)
  {
    pending = false;
    // A print that fails leaves no trace: there is nothing to tell a child.
    if(device)
      PrintPicture(*device, event.Saves());
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

bool PrinterButton::PrintPicture(GraphicsDevice &graphicsDevice, const SaveFolder &saves)
{
  std::string reason;
  const bool folderReady = saves.Prepare(reason);
  if(!folderReady)
    printLog.Write(reason);
  PicturePrinter printer(folderReady ? saves.Path(PicturePrinter::pictureName) : std::string(), &printLog);
  return printer.Print(graphicsDevice);
}
