#include "app/PaintApp.h"

#include "app/EventManager.h"
#include "base/Log.h"
#include "events/EventCreate.h"
#include "events/EventTitle.h"
#include "events/Studio.h"
#include "platform/Clock.h"
#include "platform/GlBackend.h"

PaintApp::PaintApp()
  : readClock(Clock::Milliseconds)
{
}

PaintApp::~PaintApp()
{
  Shutdown();
}

bool PaintApp::Init()
{
  if(!CreateAppWindow("Vextorn", ScreenWidth, ScreenHeight, windowSettings))
  {
    LogLine("start-up failed: the window could not be opened");
    return false;
  }
  // A hardware-accelerated OpenGL context first, Mesa's software renderer after it.
  if(!device.CreateWithBackend(GlBackend::Create(*window, ScreenWidth, ScreenHeight)))
  {
    LogLine("start-up failed: no OpenGL 3.3 device could be created");
    return false;
  }
  pacer.SetRefreshRate(window->RefreshRate());
  // Without an audio device the toy runs silently.
  sound.Init();

  studio = &Studio::Instance();
  if(!studio->Init(*this, device, ScreenWidth, ScreenHeight))
  {
    LogLine("start-up failed: the pictures and sounds in data/ could not all be loaded");
    return false;
  }

  eventManager = &EventManager::Instance();
  EventFactory factory;
  factory.makeTitle = [this](PaintApp &app) { return std::make_unique<EventTitle>(app, *studio); };
  factory.makeCreate = [this](PaintApp &app) { return std::make_unique<EventCreate>(app, *studio); };
  if(!eventManager->Start(*this, factory))
  {
    LogLine("start-up failed: the screens could not be started");
    return false;
  }
  return true;
}

void PaintApp::Shutdown()
{
  running = false;
  if(studio)
    studio->Teardown();
  sound.Shutdown();
}

void PaintApp::Frame()
{
  if(!pacer.Tick(readClock()))
    return;
  ++framesRun;
  if(eventManager)
    eventManager->Frame();
}

int PaintApp::MillisecondsToNextFrame()
{
  return pacer.MillisecondsToNextFrame(readClock());
}

int PaintApp::WindowProc(const WindowMessage &message)
{
  switch(message.kind)
  {
    case WindowMessage::Kind::Destroy:
      Shutdown();
      PostQuitMessage(0);
      break;
    case WindowMessage::Kind::Activate:
      active = message.value != 0;
      break;
    case WindowMessage::Kind::Expose:
      device.RequestPresent();
      // The screens draw nothing while the window is inactive, but a window
      // in the background can still be uncovered or resized: it gets the
      // last picture again at once.
      if(!active && running && device.IsCreated())
        device.Present();
      // The window may have moved onto another display.
      if(window)
        pacer.SetRefreshRate(window->RefreshRate());
      break;
    case WindowMessage::Kind::KeyDown:
      if(message.value == static_cast<int>(Key::Escape))
        SendMessage({WindowMessage::Kind::Close, 0});
      else if(message.value == static_cast<int>(Key::F11) && window)
      {
        // The window changes size and place, not the context: everything
        // drawn and loaded stays, and the next frame shows it at the new size.
        window->ToggleFullscreen();
        device.RequestPresent();
      }
      break;
    default:
      break;
  }
  return DefaultWindowProc(message);
}
