#include "platform/NativeWindow.h"

#include "platform/Log.h"

// Placeholder until the SDL window lands: no window can be opened.
NativeWindow::~NativeWindow() = default;

bool NativeWindow::Create(const std::string &)
{
  LogLine("no window support is built yet");
  return false;
}

void NativeWindow::Destroy()
{
}

bool NativeWindow::NextMessage(WindowMessage &)
{
  return false;
}

void NativeWindow::MousePosition(int &x, int &y) const
{
  x = y = 0;
}

int NativeWindow::KeyState(Key)
{
  return 0;
}

int NativeWindow::PixelWidth() const
{
  return 0;
}

int NativeWindow::PixelHeight() const
{
  return 0;
}
