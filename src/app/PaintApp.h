#pragma once

#include "app/AppWindow.h"
#include "app/FrameClock.h"
#include "gfx/GraphicsDevice.h"

#include <cstdint>
#include <functional>

class EventManager;

// The application: the window and its loop, the graphics device, and the
// frame clock that runs the current screen once per millisecond tick.
class PaintApp : public AppWindow {
public:
  static constexpr int ScreenWidth = 640;
  static constexpr int ScreenHeight = 480;

  PaintApp();
  ~PaintApp() override;

  // Opens the window and creates the device (and, as they exist, the sound
  // system, the studio and the screens). The first step that fails ends
  // start-up: false, with a line on standard error naming what failed.
  bool Init();
  // Stops all frames and releases what the screens share; safe to repeat.
  void Shutdown();

  bool IsRunning() const { return running; }
  GraphicsDevice &Device() { return device; }
  EventManager *Events() const { return eventManager; }

  // Where the frame clock reads the time; tests give their own.
  void SetClock(std::function<uint32_t()> clock) { readClock = std::move(clock); }

protected:
  void Frame() override;
  int WindowProc(const WindowMessage &message) override;
  void OnExit() override {}

private:
  bool running = true;
  GraphicsDevice device;
  EventManager *eventManager = nullptr;
  FrameClock frameClock;
  std::function<uint32_t()> readClock;
};
