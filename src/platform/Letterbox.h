#pragma once

// Where the logical screen lands inside a window: scaled by one factor on both
// axes so that its aspect is kept, centred, with black bars on the two sides
// that are left over. Presenting and pointer mapping both use it, so that the
// pointer always names the logical pixel that is shown under it.
struct Letterbox {
  // The picture's rectangle in window pixels, y counting down from the top.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int logicalWidth = 0;
  int logicalHeight = 0;

  // The largest rectangle of the logical aspect that fits the window. An empty
  // window gives an empty rectangle.
  static Letterbox Fit(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight);

  // The logical pixel shown at window pixel (windowX, windowY): the one whose
  // area holds that pixel's centre, as a nearest-neighbour scaling picks it.
  // Over the bars the result lies outside the logical screen.
  void WindowToLogical(int windowX, int windowY, int &logicalX, int &logicalY) const;
};
