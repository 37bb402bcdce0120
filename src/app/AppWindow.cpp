#include "app/AppWindow.h"

#include "platform/Clock.h"

namespace {
  // Input for a program without a window: the pointer at the origin, no key down.
  class NoInput : public InputSource {
  public:
    void MousePosition(int &x, int &y) const override { x = y = 0; }
    int KeyState(Key) override { return 0; }
  };
}

AppWindow::AppWindow()
  : noInput(std::make_unique<NoInput>())
{
}

AppWindow::~AppWindow() = default;

bool AppWindow::CreateAppWindow(const std::string &title, int requestedWidth, int requestedHeight,
                                const WindowSettings &settings)
{
  width = requestedWidth;
  height = requestedHeight;
  window = std::make_unique<NativeWindow>();
  if(!window->Create(title, settings))
  {
    window.reset();
    return false;
  }
  return OnCreated();
}

int AppWindow::Run()
{
  // Becoming active is a message like any other, so that the first frame
  // after it finds the window active.
  PostMessage({WindowMessage::Kind::Activate, 1});
  int exitCode = 0;
  while(true)
  {
    WindowMessage message;
    if(NextMessage(message))
    {
      if(message.kind == WindowMessage::Kind::Quit)
      {
        exitCode = message.value;
        break;
      }
      WindowProc(message);
    }
    Frame();
    if(!MessagePending())
    {
      const int wait = MillisecondsToNextFrame();
      if(wait > 0)
        WaitForMessage(wait);
    }
  }
  OnExit();
  return exitCode;
}

bool AppWindow::NextMessage(WindowMessage &message)
{
  if(posted.empty() && window && !destroyed)
  {
    WindowMessage fromSystem;
    if(window->NextMessage(fromSystem))
      posted.push_back(fromSystem);
  }
  if(posted.empty())
    return false;
  message = posted.front();
  posted.pop_front();
  return true;
}

bool AppWindow::MessagePending() const
{
  return !posted.empty() || (window && !destroyed && window->HasPendingMessage());
}

void AppWindow::WaitForMessage(int timeoutMs)
{
  if(window && !destroyed)
    window->WaitForMessage(timeoutMs);
  else if(timeoutMs > 0)
    Clock::Sleep(static_cast<uint32_t>(timeoutMs));
}

void AppWindow::PostMessage(const WindowMessage &message)
{
  posted.push_back(message);
}

void AppWindow::PostQuitMessage(int exitCode)
{
  PostMessage({WindowMessage::Kind::Quit, exitCode});
}

int AppWindow::SendMessage(const WindowMessage &message)
{
  return WindowProc(message);
}

InputSource &AppWindow::Input()
{
  if(inputOverride)
    return *inputOverride;
  if(window)
    return *window;
  return *noInput;
}

int AppWindow::WindowProc(const WindowMessage &message)
{
  switch(message.kind)
  {
    case WindowMessage::Kind::Destroy:
      PostQuitMessage(0);
      break;
    case WindowMessage::Kind::Activate:
      active = message.value != 0;
      break;
    default:
      break;
  }
  return DefaultWindowProc(message);
}

int AppWindow::DefaultWindowProc(const WindowMessage &message)
{
  if(message.kind == WindowMessage::Kind::Close)
    DestroyWindow();
  return 0;
}

void AppWindow::DestroyWindow()
{
  if(destroyed)
    return;
  destroyed = true;
  SendMessage({WindowMessage::Kind::Destroy, 0});
  // The native window stays until the object goes, so that the graphics
  // device, which draws into it, is released first.
  active = false;
}
