#include "ui/ExitButton.h"

#include "events/EventManager.h"
#include "events/SoundSink.h"
#include "platform/Clock.h"
#include "res/DataFiles.h"

bool ExitButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  return LoadIconOnly(graphicsDevice, dataFiles.Path("exit.png"), {8, 384}, {16, 384, 88, 464});
}

Event *ExitButton::Poll(const SoundSink &sounds, EventCreate &event, int x, int y)
{
  ToolButton::Poll(sounds, event, x, y);
  if(!pending)
    return nullptr;
  pending = false;
  Clock::Sleep(PauseMilliseconds);
  return EventManager::Instance().FindEvent("EventTitle");
}

int ExitButton::OnRelease(const SoundSink &sounds, EventCreate &)
{
  if(hovered)
  {
    pending = true;
    sounds.Play(SoundId::Door);
  }
  return 0;
}
