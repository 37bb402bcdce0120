#pragma once

#include "events/Event.h"
#include "res/Texture.h"
#include "ui/Widget.h"

class Studio;

// The title screen: the title picture, a start and an end button that light
// up under the pointer, and the title's own cursor picture. Pressing start
// plays the start sound, shows the ten-frame mark over the button and hands
// over to the creation screen with the red pen; pressing end does the same
// over the end button and closes the program.
class EventTitle : public Event {
public:
  static constexpr const char *CursorFile = "cursor_default.png";
  // The frames of the mark shown after a choice before its action fires.
  static constexpr int ChoiceFrames = 10;

  EventTitle(ScreenHost &owner, Studio &studio);

  // Loads the cursor picture and makes its widget.
  bool Init() override;
  Event *RunFrame(EventManager &manager) override;

  // 0 nothing chosen, 1 start chosen, 2 end chosen.
  int Choice() const { return choice; }
  int WaitFrames() const { return waitFrames; }

private:
  void HandleInput();
  void Render();
  void DrawWidgets();

private:
  Studio &studio;
  int mouseX = 0;
  int mouseY = 0;
  int choice = 0;
  int waitFrames = 0;
  Texture cursorPicture;
  Widget cursor;
  int leftDown = 0;
  int leftWasDown = 0;
  bool firstTitleFrameDone = false;
};
