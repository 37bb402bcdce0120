#pragma once

#include "app/PaintApp.h"
#include "gfx/ArgbImage.h"
#include "platform/InputSource.h"

#include <array>
#include <string>

class EventCreate;
class EventTitle;
class Studio;

// The whole toy started as the program starts it (window, OpenGL device,
// studio, both screens), but with a scripted pointer and keys and frames run
// one at a time. Needs a display or SDL's offscreen driver, and data/ under
// the current directory. One rig per process: the studio and the screens are
// process-wide.
class ScreenRig {
public:
  // Pointer and keys as the rig sets them for the next frame.
  class ScriptedInput : public InputSource {
  public:
    void MousePosition(int &outX, int &outY) const override
    {
      outX = x;
      outY = y;
    }
    int KeyState(Key key) override { return keys[static_cast<size_t>(key)]; }
    void Set(Key key, bool down) { keys[static_cast<size_t>(key)] = down ? 1 : 0; }

    int x = 0;
    int y = 0;

  private:
    std::array<int, static_cast<size_t>(Key::Count)> keys{};
  };

  ScreenRig() = default;
  ScreenRig(const ScreenRig &) = delete;
  ScreenRig &operator=(const ScreenRig &) = delete;

  // Starts the toy; false with the reason on standard error.
  bool Start();

  // Runs one frame of the current screen.
  void Frame();
  void Frames(int count);
  // Puts the pointer at (x, y) for the next frames.
  void MoveTo(int x, int y);
  // Presses the left button in one frame and releases it in the next.
  void Click(int x, int y);
  // From the title: hovers the start button, presses it and runs frames
  // until the creation screen is current (the title pauses for a second).
  bool EnterCreation();
  // Releases the mouse over the tool at `index` of the studio's list.
  void ChooseTool(int index);

  // A copy of the back buffer as the last frame left it, 0xFFRRGGBB.
  ArgbImage BackBuffer();

  PaintApp &App() { return app; }
  ScriptedInput &Input() { return input; }
  Studio &GetStudio();
  EventTitle &Title();
  EventCreate &Create();

private:
  PaintApp app;
  ScriptedInput input;
};
