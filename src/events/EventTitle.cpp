#include "events/EventTitle.h"

#include "events/EventManager.h"
#include "events/ScreenHost.h"
#include "gfx/GraphicsDevice.h"
#include "platform/InputSource.h"
#include "res/DataFiles.h"
#include "res/SoundSystem.h"
#include "store/SaveFolder.h"
#include "events/EventCreate.h"
#include "events/Studio.h"
#include "platform/Clock.h"
#include "ui/EndButton.h"
#include "ui/SelectedAnimation.h"
#include "ui/StartButton.h"
#include "ui/TitlePicture.h"

EventTitle::EventTitle(ScreenHost &owner, Studio &studio)
  : Event(owner, "EventTitle"), studio(studio)
{
}

bool EventTitle::Init()
{
  if(!cursorPicture.LoadFromFile(owner.Device(), owner.Files().Path(CursorFile)))
    return false;
  return cursor.Create(&cursorPicture, owner.Device());
}

Event *EventTitle::RunFrame(EventManager &manager)
{
  if(!owner.IsRunning() || !owner.IsActive())
    return this;

  if(!firstTitleFrameDone)
  {
    // The creation screen's one-off first pass runs now, out of sight.
    firstTitleFrameDone = true;
    if(Event *create = manager.FindEvent("EventCreate"))
      create->RunFrame(manager);
    // Escape held during that pass has closed the window and released the
    // studio: nothing is left to draw with.
    if(!owner.IsRunning())
      return this;
    owner.Device().Clear(true, false, 0xFFFFFFFF, 1.f);
  }

  HandleInput();
  Render();

  if(choice != 0 && ++waitFrames == ChoiceFrames)
  {
    if(choice == 1)
    {
      Clock::Sleep(1000);
      choice = 0;
      waitFrames = 0;
      auto *create = static_cast<EventCreate *>(manager.FindEvent("EventCreate"));
      if(create)
      {
        create->SetPenColor(255, 0, 0);
        create->SetCubeColor(255, 255, 255);
        create->SetSelectedTool(studio.Tool(Studio::RedPenIndex));
        create->SetCursorTool(studio.Tool(Studio::RedPenIndex));
        return create;
      }
    }
    else
    {
      Clock::Sleep(2000);
      owner.RequestClose();
    }
  }

  if(owner.Input().KeyState(Key::Escape))
    owner.RequestClose();
  return this;
}

void EventTitle::HandleInput()
{
  // Once a button is chosen the title ignores the mouse.
  if(choice != 0)
    return;

  InputSource &input = owner.Input();
  input.MousePosition(mouseX, mouseY);
  leftWasDown = leftDown;
  leftDown = input.KeyState(Key::LeftButton);

  studio.GetStartButton()->Poll(studio, mouseX, mouseY);
  studio.GetEndButton()->Poll(studio, mouseX, mouseY);

  if(leftDown && !leftWasDown)
  {
    if(studio.GetStartButton()->Hovered())
    {
      choice = 1;
      studio.GetSelectedAnimation()->SetPosition({80.f, 312.f});
      studio.Play(SoundId::Start);
    }
    else if(studio.GetEndButton()->Hovered())
    {
      choice = 2;
      studio.GetSelectedAnimation()->SetPosition({280.f, 312.f});
      studio.Play(SoundId::End);
    }
  }
}

void EventTitle::Render()
{
  GraphicsDevice &device = owner.Device();
  device.SetViewport({0, 0, static_cast<uint32_t>(owner.Width()), static_cast<uint32_t>(owner.Height()), 0.f, 1.f});
  device.Clear(true, false, 0xFFFFFFFF, 1.f);
  if(device.BeginScene())
  {
    DrawWidgets();
    // The cursor changes far more often than the picture under it.
    device.MarkLayer();
    const Vector2 at{static_cast<float>(mouseX), static_cast<float>(mouseY)};
    cursor.DrawSprite(nullptr, nullptr, &at, 0xFFFFFFFF);
    device.EndScene();
  }
  device.PresentFrame();
}

void EventTitle::DrawWidgets()
{
  studio.GetTitlePicture()->DrawSprite();
  studio.GetStartButton()->DrawSprite();
  studio.GetEndButton()->DrawSprite();
  if(choice != 0)
  {
    studio.GetSelectedAnimation()->SetFrame(waitFrames);
    studio.GetSelectedAnimation()->DrawSprite(255);
  }
}
