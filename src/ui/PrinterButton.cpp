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
  PicturePrinter printer(saves.Prepare() ? saves.Path(PicturePrinter::pictureName) : std::string());
  if(printer.Print(graphicsDevice))
    return true;
  if(printer.Picture().pixels.empty() || !model)
    return false;
  std::string page;
  std::string error;
  if(!PageSaver::Save(printer.Picture(), *model, PicturesFolder::Find(), std::time(nullptr), page, error))
  {
    LogLine("printing: the page could not be kept either: " + error);
    return false;
  }
  LogLine("printing: no printer took the page; it is kept as " + page);
  return true;
}
