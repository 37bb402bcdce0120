#include "app/PaintApp.h"

#include "app/EventManager.h"
#include "platform/Clock.h"
#include "platform/Log.h"

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
  if(!CreateAppWindow("Vextorn", ScreenWidth, ScreenHeight))
  {
    LogLine("start-up failed: the window could not be opened");
    return false;
  }
  if(!device.Create(*window))
  {
    LogLine("start-up failed: no OpenGL 3.3 device could be created");
    return false;
  }
  return true;
}

void PaintApp::Shutdown()
{
  running = false;
}

void PaintApp::Frame()
{
  if(!frameClock.Tick(readClock()))
    return;
  if(eventManager)
    eventManager->Frame();
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
    case WindowMessage::Kind::KeyDown:
      if(message.value == static_cast<int>(Key::Escape))
        SendMessage({WindowMessage::Kind::Close, 0});
      break;
    default:
      break;
  }
  return DefaultWindowProc(message);
}
