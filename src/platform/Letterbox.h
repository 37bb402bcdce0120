#pragma once

#include "gfx/PixelRect.h"

// Where the logical screen lands inside a window's drawable, and how it gets
// there. The picture is first enlarged by the largest whole factor that fits,
// with nearest sampling, so that every logical pixel becomes an even square
// block; what is left to fill the largest rectangle of the logical aspect is
// stretched with a linear filter from that enlarged picture, so no logical
// pixel ends up wider than its neighbour. The rectangle is centred with black
// bars on the two sides that are left over. Presenting and pointer mapping
// both use it, so that the pointer always names the logical pixel that is
// shown under it.
struct Letterbox {
  // The picture's rectangle in drawable pixels, y counting down from the top.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int logicalWidth = 0;
  int logicalHeight = 0;
  // The drawable the rectangle was fitted into.
  int drawableWidth = 0;
  int drawableHeight = 0;
  // The whole factor of the nearest-sampled stage: at least 1.
  int factor = 1;

  // The largest rectangle of the logical aspect that fits the drawable. An
  // empty drawable gives an empty rectangle.
  static Letterbox Fit(int drawableWidth, int drawableHeight, int logicalWidth, int logicalHeight);

  // The size of the picture after the nearest-sampled stage.
  int EnlargedWidth() const { return logicalWidth * factor; }
  int EnlargedHeight() const { return logicalHeight * factor; }
  // The enlarged picture is not the rectangle's size: a linear stretch follows.
  bool NeedsStretch() const { return width != EnlargedWidth() || height != EnlargedHeight(); }

  // The drawable pixels of the picture (y counting down) whose colour may
  // depend on a logical pixel of `logical`: a presented pixel is mixed from
  // the logical pixel under its centre and that pixel's neighbours, so the
  // rectangle reaches one logical pixel (and one drawable pixel more) beyond.
  // Empty when `logical` is.
  PixelRect Covering(const PixelRect &logical) const;

  // The logical pixel shown at drawable pixel (pixelX, pixelY): the one whose
  // area holds that pixel's centre. Over the bars the result lies outside the
  // logical screen.
  void PixelToLogical(int pixelX, int pixelY, int &logicalX, int &logicalY) const;
  // The same for a pointer position in window coordinates, of a window of
  // windowWidth by windowHeight whose drawable is the one fitted (on a
  // high-density display a window coordinate spans several drawable pixels):
  // the logical pixel under the centre of the pointer's position.
  void PointToLogical(int pointX, int pointY, int windowWidth, int windowHeight, int &logicalX,
                      int &logicalY) const;
};
