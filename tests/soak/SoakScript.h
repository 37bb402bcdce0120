#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <string>

// A seeded random script of play on the creation screen, one step per frame.
// The same seed gives the same steps. Most steps are drawing: choosing every
// tool of the palette and both history buttons in turn and at random, pen
// strokes, cubes placed, erasing, turning the view with the hand; now and
// then undo and redo by their keys, F7, F8, F11, a print, leaving for the
// title and starting again, or closing the toy and starting it again.
class SoakScript {
public:
  // What the driver does besides setting the pointer and keys.
  enum class Special {
    None,
    // Presses F11 (a key-down message).
    ToggleFullscreen,
    // Releases on the printer button (the step's pointer is on it).
    Print,
    // Leaves by the exit button, then starts again from the title.
    ExitAndStart,
    // Closes the toy and starts it again, as a new run would.
    Restart,
  };

  struct Step {
    int x = 0;
    int y = 0;
    bool left = false;
    bool f7 = false;
    bool f8 = false;
    bool undo = false;
    bool redo = false;
    Special special = Special::None;
  };

  // Hit rectangles of the tools, by palette index, and the model area.
  struct Layout {
    struct Rect {
      int left = 0;
      int top = 0;
      int right = 0;
      int bottom = 0;
    };
    // The 22 tools, then the undo and the redo buttons.
    static constexpr int ButtonCount = 24;
    Rect tools[ButtonCount];
    Rect model;
    int exitTool = 1;
    int printerTool = 2;
  };

  SoakScript(uint32_t seed, const Layout &layout);

  // The step for the next frame.
  Step Next();
  // Between two actions (the next step starts a new one).
  bool BetweenActions() const { return steps.empty(); }
  // Makes the next action the eraser taken and a click at (x, y): what a
  // child does when the room gets full. Keeps the model, and so the memory
  // it takes, from growing without end over a long run.
  void EraseAt(int x, int y);
  // How many actions of each kind were started, for the report.
  std::string Counts() const;

private:
  void Plan();
  void ChooseTool(int index);
  void Stroke(int frames);
  void Click();
  // Holds one key (F7, F8, undo or redo) for some frames, then lets go.
  void Hold(bool Step::*key, int frames);
  void Idle(int frames);
  void PointAtModel(int &x, int &y);

  std::mt19937 random;
  Layout layout;
  std::deque<Step> steps;
  Step last;
  int nextTool = 0;
  long long erasures = 0;
  long long strokes = 0, clicks = 0, tools = 0, loads = 0, saves = 0, undos = 0, redos = 0, toggles = 0, prints = 0,
            exits = 0, restarts = 0;
};
