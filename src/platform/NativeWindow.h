#pragma once

#include "base/LogGate.h"
#include "platform/InputLatch.h"
#include "platform/InputSource.h"
#include "platform/WindowMessage.h"
#include "platform/WindowSettings.h"

#include <deque>
#include <functional>
#include <string>

struct SDL_Window;
union SDL_Event;

// The one desktop window, with the system cursor hidden over it. Full screen
// it is borderless, at the display's top-left corner and the display's size
// (a fullscreen flag misbehaves where no window manager runs); otherwise it is
// a normal resizable window with the desktop's decorations. F11 switches
// between the two at any time; the window itself (and so the OpenGL context
// made for it) stays. The 640 by 480 logical screen is shown scaled to fit
// with its aspect kept (see Letterbox); the pointer is mapped back to it.
class NativeWindow : public InputSource {
public:
  static constexpr int LogicalWidth = 640;
  static constexpr int LogicalHeight = 480;

  NativeWindow() = default;
  NativeWindow(const NativeWindow &) = delete;
  NativeWindow &operator=(const NativeWindow &) = delete;
  ~NativeWindow() override;

  // Opens the window as `settings` say; false (with a line on standard error)
  // when there is no display.
  bool Create(const std::string &title, const WindowSettings &settings = {});
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

  // Full screen, or back to the desktop window (at the place and size it had,
  // maximised if it was; the first time at the size the settings name, in
  // the middle of the display). Full screen covers the display the window
  // is on. Nothing drawn is lost: the window is moved and resized, not made anew.
  void SetFullscreen(bool on);
  void ToggleFullscreen() { SetFullscreen(!fullscreen); }
  bool IsFullscreen() const { return fullscreen; }

  SDL_Window *Handle() const { return window; }
  // The window's size in window coordinates (those of the pointer).
  int PixelWidth() const;
  int PixelHeight() const;
  // The size in pixels of what is drawn into; larger than the window's size
  // on a high-density display.
  int DrawableWidth() const;
  int DrawableHeight() const;

private:
  void HandleEvent(const SDL_Event &event);
  void Queue(WindowMessage::Kind kind, int value);
  // Keeps the desktop window's place and size to come back to after full screen.
  void NoteWindowedPlace();
  // The window manager has put a frame round the window.
  bool HasFrame() const;
  // Reads system events until `settled` holds, at most WindowManagerWaitMs.
  void AwaitWindowManager(const std::function<bool()> &settled);

private:
  // How long a switch waits for each answer of the window manager.
  static constexpr int WindowManagerWaitMs = 250;
  // Whether a window manager frames the desktop window: known after the first switch to it.
  enum class Frames { Unknown, Drawn, None };

  // Where the desktop window was, to come back to it.
  struct Place {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

private:
  SDL_Window *window = nullptr;
  // The pointer's last known position in window pixels.
  int pointerX = 0;
  int pointerY = 0;
  InputLatch latch;
  std::deque<WindowMessage> pending;
  bool videoInitialised = false;
  WindowSettings settings;
  bool fullscreen = true;
  Place windowedPlace;
  bool windowedPlaceKnown = false;
  bool windowedMaximised = false;
  Frames frames = Frames::Unknown;
  // F11 held repeats its key-down events.
  LogGate switchLog;
};
