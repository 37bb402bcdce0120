#include "ui/PrinterButton.h"

#include "base/Log.h"
#include "events/EventCreate.h"
#include "events/SoundSink.h"
#include "export/PageSaver.h"
#include "export/PicturesFolder.h"
#include "res/DataFiles.h"
#include "res/PicturePrinter.h"
#include "store/SaveFolder.h"

#include <ctime>
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
    // The outcome is not shown: there is nothing to tell a child.
    if(device)
      PrintPicture(*device, event.Saves(), event.Model());
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

bool PrinterButton::PrintPicture(GraphicsDevice &graphicsDevice, const SaveFolder &saves, const VoxelModel *model)
{
  std::string reason;
  const bool folderReady = saves.Prepare(reason);
  if(!folderReady)
    printLog.Write(reason);
  PicturePrinter printer(folderReady ? saves.Path(PicturePrinter::pictureName) : std::string(), &printLog);
  if(printer.Print(graphicsDevice))
    return true;
  if(printer.Picture().pixels.empty() || !model)
    return false;
  std::string page;
  std::string error;
  if(!PageSaver::Save(printer.Picture(), *model, PicturesFolder::Find(), std::time(nullptr), page, error))
  {
    printLog.Write("printing: the page could not be kept either: " + error);
    return false;
  }
  // Each page has a name of its own: this line is never held back.
  printLog.Write("printing: no printer took the page; it is kept as " + page);
  return true;
}
