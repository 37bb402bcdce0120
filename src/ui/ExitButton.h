#pragma once

#include "ui/ToolButton.h"

#include <cstdint>

// The door back to the title screen. Releasing on it only plays the door
// sound and marks the exit as pending; the next Poll waits one second (the
// whole program waits, the sound keeps playing) and then hands back the title
// event. It never becomes the selected tool and has no cursor.
class ExitButton : public ToolButton {
public:
  // How long the exit waits before the title screen comes back.
  static constexpr uint32_t PauseMilliseconds = 1000;

  ExitButton() : ToolButton(ToolKind::Exit) {}

  bool Load(GraphicsDevice &device, const DataFiles &files) override;
  // After tracking the pointer: when an exit is pending, clears it, waits and
  // returns the event named "EventTitle" (null when there is none).
  Event *Poll(const SoundSink &sounds, EventCreate &event, int x, int y) override;
  int OnRelease(const SoundSink &sounds, EventCreate &event) override;

  bool Pending() const { return pending; }

private:
  bool pending = false;
};
