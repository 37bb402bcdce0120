#pragma once

#include "platform/InputSource.h"
#include "platform/NativeWindow.h"
#include "platform/WindowMessage.h"
#include "platform/WindowSettings.h"

#include <deque>
#include <memory>
#include <string>

// The application's one window and its loop. Each pass of the loop handles at
// most one pending message and then calls Frame. When no message is waiting
// after the frame, the loop sleeps until one arrives or the next frame is due
// (MillisecondsToNextFrame), so that a program at rest uses no processor.
// Messages reach the virtual WindowProc; what it does not handle goes to
// DefaultWindowProc, where a close request destroys the window, whose
// destruction the subclass answers with a quit message that ends the loop.
class AppWindow {
public:
  AppWindow();
  AppWindow(const AppWindow &) = delete;
  AppWindow &operator=(const AppWindow &) = delete;
  virtual ~AppWindow();

  // Opens the window with the title, full screen or as a desktop window as
  // `settings` say, and keeps the requested logical size. False when the
  // window cannot be made or OnCreated refuses.
  bool CreateAppWindow(const std::string &title, int width, int height, const WindowSettings &settings = {});
  // Runs the loop until a quit message; returns its exit code.
  int Run();

  // Queues a message for a later pass of the loop.
  void PostMessage(const WindowMessage &message);
  void PostQuitMessage(int exitCode);
  // Hands a message to WindowProc at once and returns its result.
  int SendMessage(const WindowMessage &message);

  bool IsActive() const { return active; }
  // The requested logical size (640 by 480), whatever the window's real size.
  int Width() const { return width; }
  int Height() const { return height; }
  NativeWindow *Window() const { return window.get(); }
  // Where the frame reads the pointer and keys: the window, unless a test set its own.
  InputSource &Input();
  void SetInputSource(InputSource *source) { inputOverride = source; }

protected:
  virtual bool OnCreated() { return true; }
  virtual void Frame() {}
  // How long the loop may sleep after this pass's frame, in milliseconds;
  // 0 for not at all. A window without frames of its own never sleeps.
  virtual int MillisecondsToNextFrame() { return 0; }
  // Sleeps until a window message arrives or `timeoutMs` milliseconds pass
  // (a plain sleep without a window).
  virtual void WaitForMessage(int timeoutMs);
  // Handles destruction (posts the quit message) and activation, then
  // passes every message to DefaultWindowProc.
  virtual int WindowProc(const WindowMessage &message);
  virtual void OnExit() {}
  // A close request destroys the window; everything else needs nothing.
  int DefaultWindowProc(const WindowMessage &message);

protected:
  std::unique_ptr<NativeWindow> window;
  bool active = false;
  int width = 0;
  int height = 0;

private:
  bool NextMessage(WindowMessage &message);
  bool MessagePending() const;
  void DestroyWindow();

private:
  std::deque<WindowMessage> posted;
  InputSource *inputOverride = nullptr;
  // What Input gives when there is neither a window nor a test's source.
  std::unique_ptr<InputSource> noInput;
  bool destroyed = false;
};
