#include "rig/ScreenRig.h"

#include "events/EventManager.h"
#include "events/EventCreate.h"
#include "events/EventTitle.h"
#include "events/Studio.h"
#include "ui/StartButton.h"
#include "ui/ToolButton.h"

#include <cstdio>

bool ScreenRig::Start()
{
  if(!app.Init())
  {
    std::fprintf(stderr, "the toy could not start\n");
    return false;
  }
  app.SetInputSource(&input);
  app.SendMessage({WindowMessage::Kind::Activate, 1});
  return true;
}

void ScreenRig::Frame()
{
  EventManager::Instance().Frame();
}

void ScreenRig::Frames(int count)
{
  for(int i = 0; i < count; ++i)
    Frame();
}

void ScreenRig::MoveTo(int x, int y)
{
  input.x = x;
  input.y = y;
}

void ScreenRig::Click(int x, int y)
{
  MoveTo(x, y);
  input.Set(Key::LeftButton, true);
  Frame();
  input.Set(Key::LeftButton, false);
  Frame();
}

bool ScreenRig::EnterCreation()
{
  const HitRect start = GetStudio().GetStartButton()->HitRectangle();
  MoveTo((start.left + start.right) / 2, (start.top + start.bottom) / 2);
  Frames(2);
  Click(input.x, input.y);
  for(int i = 0; i < 40 && EventManager::Instance().Current() != &Create(); ++i)
    Frame();
  return EventManager::Instance().Current() == &Create();
}

void ScreenRig::ChooseTool(int index)
{
  const HitRect hit = GetStudio().Tool(index)->HitRectangle();
  Click((hit.left + hit.right) / 2, (hit.top + hit.bottom) / 2);
}

ArgbImage ScreenRig::BackBuffer()
{
  ArgbImage image;
  Surface *surface = app.Device().BackBuffer();
  if(!surface)
    return image;
  int pitch = 0;
  const uint32_t *pixels = surface->LockRect(pitch);
  image.width = surface->Width();
  image.height = surface->Height();
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for(int y = 0; y < image.height; ++y)
    for(int x = 0; x < image.width; ++x)
      image.pixels[static_cast<size_t>(y) * image.width + x] = pixels[static_cast<size_t>(y) * pitch + x] | 0xFF000000u;
  surface->UnlockRect();
  return image;
}

Studio &ScreenRig::GetStudio()
{
  return *app.GetStudio();
}

EventTitle &ScreenRig::Title()
{
  return *static_cast<EventTitle *>(EventManager::Instance().FindEvent("EventTitle"));
}

EventCreate &ScreenRig::Create()
{
  return *static_cast<EventCreate *>(EventManager::Instance().FindEvent("EventCreate"));
}
