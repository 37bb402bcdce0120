#pragma once

#include "app/AppWindow.h"
#include "app/FramePacer.h"
#include "base/ScreenLayout.h"
#include "gfx/GraphicsDevice.h"
#include "platform/WindowSettings.h"
#include "res/SoundSystem.h"

#include <cstdint>
#include <functional>

class EventManager;
class Studio;

// The application: the window and its loop, the graphics device, and the
// pacer that runs the current screen once per period of the display.
class PaintApp : public AppWindow {
public:
  static constexpr int ScreenWidth = ScreenLayout::Width;
  static constexpr int ScreenHeight = ScreenLayout::Height;

  PaintApp();
  ~PaintApp() override;

  // Opens the window, creates the device and the sound system, loads the
  // studio (every picture and sound) and starts the screens with the title.
  // The first step that fails ends start-up: false, with a line on standard
  // error naming what failed.
  bool Init();
  // Stops all frames and releases what the screens share; safe to repeat.
  void Shutdown();

  bool IsRunning() const { return running; }
  GraphicsDevice &Device() { return device; }
  SoundSystem &Sounds() { return sound; }
  Studio *GetStudio() const { return studio; }
  EventManager *Events() const { return eventManager; }

  // How the window opens; read by Init.
  void SetWindowSettings(const WindowSettings &settings) { windowSettings = settings; }
  const WindowSettings &GetWindowSettings() const { return windowSettings; }

  // Where the frame pacer reads the time; tests give their own.
  void SetClock(std::function<uint32_t()> clock) { readClock = std::move(clock); }
  // Frames that ran (the loop's passes in between that were not due do not count).
  long long FramesRun() const { return framesRun; }

protected:
  // Runs the current screen when a frame is due.
  void Frame() override;
  int MillisecondsToNextFrame() override;
  int WindowProc(const WindowMessage &message) override;
  void OnExit() override {}

private:
  bool running = true;
  GraphicsDevice device;
  SoundSystem sound;
  Studio *studio = nullptr;
  EventManager *eventManager = nullptr;
  FramePacer pacer;
  std::function<uint32_t()> readClock;
  long long framesRun = 0;
  WindowSettings windowSettings;
};
