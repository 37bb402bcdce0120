#pragma once

#include "app/AppWindow.h"
#include "app/FramePacer.h"
#include "app/PresentPacer.h"
#include "events/ScreenHost.h"
#include "base/ScreenLayout.h"
#include "gfx/GraphicsDevice.h"
#include "platform/WindowSettings.h"
#include "res/DataFiles.h"
#include "res/SoundSystem.h"
#include "store/SaveFolder.h"

#include <cstdint>
#include <functional>
#include <memory>

class Autosave;
class EventManager;
class Studio;

// The application: the window and its loop, the graphics device, and the
// pacer that runs the current screen once per period of the display. It
// knows the folder the pictures and sounds come from and the folder it
// writes into (both data/ under the current directory unless told
// otherwise), and, when asked to, keeps the model in an autosave. It is the
// host of the screens it runs.
class PaintApp : public AppWindow, public ScreenHost {
public:
  static constexpr int ScreenWidth = ScreenLayout::Width;
  static constexpr int ScreenHeight = ScreenLayout::Height;

  PaintApp();
  ~PaintApp() override;

  // Opens the window, creates the device and the sound system, loads the
  // studio (every picture and sound), brings back the autosaved model when
  // asked to, and starts the screens with the title. The first step that
  // fails ends start-up: false, with a line on standard error naming what
  // failed.
  bool Init();
  // Stops all frames, writes the autosave (when there is one and the model
  // changed) and releases what the screens share; safe to repeat.
  void Shutdown();

  // What the screens use.
  bool IsRunning() const override { return running; }
  GraphicsDevice &Device() override { return device; }
  SoundSystem &Sounds() override { return sound; }
  InputSource &Input() override { return AppWindow::Input(); }
  int Width() const override { return AppWindow::Width(); }
  int Height() const override { return AppWindow::Height(); }
  bool IsActive() const override { return AppWindow::IsActive(); }
  // Closes the window as its close button does; the loop then ends.
  void RequestClose() override;

  Studio *GetStudio() const { return studio; }
  EventManager *Events() const { return eventManager; }

  // How the window opens; read by Init.
  void SetWindowSettings(const WindowSettings &settings) { windowSettings = settings; }
  const WindowSettings &GetWindowSettings() const { return windowSettings; }
  // Where every picture and sound is read from; set before Init.
  void SetDataFiles(const DataFiles &files) { dataFiles = files; }
  const DataFiles &Files() const override { return dataFiles; }
  // Where the model file, the printed picture and the autosave go.
  void SetSaveFolder(const SaveFolder &folder) { saveFolder = folder; }
  const SaveFolder &Saves() const override { return saveFolder; }
  // Without sound, Init opens no audio device (the sounds still load); set before Init.
  void SetSoundEnabled(bool enabled) { soundEnabled = enabled; }
  // Keeps the model in the save folder's autosave: Init brings it back when
  // `restore` is true, frames save it about every 30 seconds after a
  // change, and Shutdown saves it. Set before Init; off unless asked for.
  void EnableAutosave(bool restore);
  // Null unless enabled.
  Autosave *GetAutosave() const { return autosave.get(); }

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
  // Asked by the device's back end before each picture is shown: it outlives
  // the device.
  PresentPacer presentPacer;
  GraphicsDevice device;
  SoundSystem sound;
  Studio *studio = nullptr;
  EventManager *eventManager = nullptr;
  FramePacer pacer;
  std::function<uint32_t()> readClock;
  long long framesRun = 0;
  WindowSettings windowSettings;
  DataFiles dataFiles{"data"};
  SaveFolder saveFolder{"data"};
  bool soundEnabled = true;
  bool autosaveWanted = false;
  bool restoreAutosave = false;
  std::unique_ptr<Autosave> autosave;
  // Init went through: only then is there a model worth keeping.
  bool started = false;
  bool hangupHandled = false;
};
