#include "app/PaintApp.h"

#include "events/EventManager.h"
#include "app/HangupSignal.h"
#include "base/Log.h"
#include "events/EventCreate.h"
#include "events/EventTitle.h"
#include "events/Studio.h"
#include "model/VoxelModel.h"
#include "platform/Clock.h"
#include "platform/GlBackend.h"
#include "store/Autosave.h"

#include <chrono>
#include <thread>

PaintApp::PaintApp()
  : presentPacer(
      [] { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count(); },
      [](double milliseconds) { std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds)); }),
    readClock(Clock::Milliseconds)
{
}

PaintApp::~PaintApp()
{
  Shutdown();
}

void PaintApp::EnableAutosave(bool restore)
{
  autosaveWanted = true;
  restoreAutosave = restore;
}

bool PaintApp::Init()
{
  if(!CreateAppWindow("Vextorn", ScreenWidth, ScreenHeight, windowSettings))
  {
    LogLine("start-up failed: the window could not be opened");
    return false;
  }
  // A hardware-accelerated OpenGL context first, Mesa's software renderer after it.
  std::unique_ptr<RenderBackend> backend = GlBackend::Create(*window, ScreenWidth, ScreenHeight);
  if(backend)
    backend->SetPresentGate(&presentPacer);
  if(!device.CreateWithBackend(std::move(backend)))
  {
    LogLine("start-up failed: no OpenGL 3.3 device could be created");
    return false;
  }
  pacer.SetRefreshRate(window->RefreshRate());
  presentPacer.SetRefreshRate(window->RefreshRate());
  // Without an audio device the toy runs silently.
  if(soundEnabled)
    sound.Init();
  else
    sound.InitSilent();

  studio = &Studio::Instance();
  if(!studio->Init(*this, device, ScreenWidth, ScreenHeight))
  {
    LogLine("start-up failed: the pictures and sounds in " + dataFiles.Folder() + "/ could not all be loaded");
    return false;
  }

  // The model is in place before the creation screen first looks at it.
  if(autosaveWanted)
  {
    autosave = std::make_unique<Autosave>(saveFolder);
    autosave->RemoveLeftovers();
    if(restoreAutosave)
      autosave->Restore(*studio->Model());
    else
      autosave->Begin(*studio->Model());
  }

  eventManager = &EventManager::Instance();
  EventFactory factory;
  factory.makeTitle = [this](ScreenHost &app) { return std::make_unique<EventTitle>(app, *studio); };
  factory.makeCreate = [this](ScreenHost &app) { return std::make_unique<EventCreate>(app, *studio); };
  if(!eventManager->Start(*this, factory))
  {
    LogLine("start-up failed: the screens could not be started");
    return false;
  }
  started = true;
  return true;
}

void PaintApp::Shutdown()
{
  running = false;
  if(autosave && started && studio && studio->Model())
    autosave->Finish(*studio->Model());
  autosave.reset();
  if(studio)
    studio->Teardown();
  sound.Shutdown();
}

void PaintApp::Frame()
{
  // A hang-up closes the toy the way its window's close button does.
  if(!hangupHandled && HangupSignal::Raised())
  {
    hangupHandled = true;
    SendMessage({WindowMessage::Kind::Close, 0});
  }
  const uint32_t now = readClock();
  if(!pacer.Tick(now))
    return;
  presentPacer.FrameStarted();
  ++framesRun;
  if(eventManager)
    eventManager->Frame();
  if(autosave && running && studio && studio->Model())
    autosave->Tick(*studio->Model(), now);
}

int PaintApp::MillisecondsToNextFrame()
{
  return pacer.MillisecondsToNextFrame(readClock());
}

void PaintApp::RequestClose()
{
  SendMessage({WindowMessage::Kind::Close, 0});
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
      {
        pacer.SetRefreshRate(window->RefreshRate());
        presentPacer.SetRefreshRate(window->RefreshRate());
      }
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
