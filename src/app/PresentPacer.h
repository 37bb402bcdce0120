#pragma once

#include "gfx/PresentGate.h"

#include <cstddef>
#include <functional>

// Evens out when pictures appear where the display does not (see
// PresentGate). A frame starts at its tick and its picture is ready some
// time later, sooner or later from one frame to the next; shown the moment
// it is ready, the intervals between pictures vary by as much, and motion
// looks uneven. While frames follow one another tick after tick, the pacer
// holds each picture until the time, counted from its frame's start, by
// which nineteen in twenty of the recent ones were ready: pictures then
// appear one period apart, as on a display that shows them at its refresh,
// at the cost of that little wait. A picture later than that is shown at
// once, and the wait ends early enough in the period for the picture's copy
// into the window (as long as nineteen in twenty of the recent ones took,
// and a millisecond more) to be done before the next frame starts. A frame
// that does not follow the one before (the toy rested in between) is shown
// at once and starts the count afresh.
class PresentPacer : public PresentGate {
public:
  // `now` reads a steady clock in milliseconds; `wait` sleeps for so many
  // milliseconds.
  PresentPacer(std::function<double()> now, std::function<void(double)> wait);

  // The frame period, from the display's refresh rate in hertz (0 or less
  // for unknown: 60).
  void SetRefreshRate(int hertz);
  // A frame starts now.
  void FrameStarted();
  // Its picture is ready: waits as needed before it is shown.
  void BeforeShow() override;
  // Its picture has been copied into the window.
  void AfterShow() override;

  // Frames remembered, and needed before any wait.
  static constexpr size_t Remembered = 30;
  static constexpr size_t NeededToWait = 10;
  // Time kept free at the end of a period besides the copy's, in ms.
  static constexpr double Slack = 1.0;

private:
  // Of the `count` times most recently put in `times` (a ring whose next
  // entry is `next`), the one nineteen in twenty are no longer than.
  double NineteenInTwenty(const double *times) const;

  std::function<double()> now;
  std::function<void(double)> wait;
  double period = 1000.0 / 60.0;
  double frameStart = 0.0;
  // When the last frame whose picture was shown had started; negative for
  // none yet.
  double shownFrameStart = -1.0;
  // When the current picture was shown, in ms of the clock.
  double shownAt = 0.0;
  // Of the recent frames shown, oldest overwritten first: when the picture
  // was ready after the frame started, and how long its copy took.
  double ready[Remembered] = {};
  double copying[Remembered] = {};
  size_t count = 0;
  size_t next = 0;
};
