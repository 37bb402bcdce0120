#pragma once

// Asked by a back end, when a frame's picture is finished and about to be
// shown, on displays where nothing else paces the showing (a software
// renderer copies each picture into the window the moment it is done, not
// at the display's refresh). It may hold the picture back a little so that
// pictures appear at an even pace although the time to draw them varies.
class PresentGate {
public:
  virtual ~PresentGate() = default;
  // The picture is ready; it is shown when this returns.
  virtual void BeforeShow() = 0;
  // The picture has been handed to the window.
  virtual void AfterShow() = 0;
};
