#pragma once

#include "platform/InputLatch.h"
#include "platform/InputSource.h"
#include "platform/WindowMessage.h"

#include <deque>
#include <string>

struct SDL_Window;
union SDL_Event;

// The one desktop window: borderless, at (0, 0), the size of the desktop, with
// the system cursor hidden over it. The 640 by 480 logical screen is shown
// scaled to fit with its aspect kept; the pointer is mapped back to it.
class NativeWindow : public InputSource {
public:
  static constexpr int LogicalWidth = 640;
  static constexpr int LogicalHeight = 480;

  NativeWindow() = default;
  NativeWindow(const NativeWindow &) = delete;
  NativeWindow &operator=(const NativeWindow &) = delete;
  ~NativeWindow() override;

  // Opens the window; false (with a line on standard error) when there is no display.
  bool Create(const std::string &title);
  // Opens a hidden window of the logical size on SDL's offscreen video driver
  // (OpenGL through EGL), whether or not there is a display: for drawing
  // pictures that nobody watches. False, with a line on standard error, when
  // that driver cannot be started.
  bool CreateOffscreen(const std::string &title);
  // Hides and closes the window; safe to call more than once.
  void Destroy();
  bool IsOpen() const { return window != nullptr; }

  // Reads every pending system event: input updates the key latch and the
  // pointer at once; activation, close requests, exposure and key presses
  // are queued. Returns the oldest queued message, if any.
  bool NextMessage(WindowMessage &message);
  // A queued message is waiting for NextMessage.
  bool HasPendingMessage() const { return !pending.empty(); }
  // Sleeps until a system event arrives or `timeoutMs` milliseconds pass; at
  // once when a message is queued already or the timeout is not positive.
  // The event stays in the system's queue for NextMessage, so the key latch
  // still sees every press.
  void WaitForMessage(int timeoutMs);
  // The refresh rate in hertz of the display the window is on; 0 when unknown.
  int RefreshRate() const;

  void MousePosition(int &x, int &y) const override;
  int KeyState(Key key) override;

  SDL_Window *Handle() const { return window; }
  // The window's real size in pixels.
  int PixelWidth() const;
  int PixelHeight() const;

private:
  void HandleEvent(const SDL_Event &event);
  void Queue(WindowMessage::Kind kind, int value);

private:
  SDL_Window *window = nullptr;
  // The pointer's last known position in window pixels.
  int pointerX = 0;
  int pointerY = 0;
  InputLatch latch;
  std::deque<WindowMessage> pending;
  bool videoInitialised = false;
};
