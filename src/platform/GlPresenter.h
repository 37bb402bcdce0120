#pragma once

#include "gfx/ArgbImage.h"
#include "platform/GlShared.h"

#include <epoxy/gl.h>

// Shows a framebuffer's colour in the window's own framebuffer, fitted as
// Letterbox says: where the picture is a whole multiple of the source, one
// nearest blit; otherwise a nearest blit into an enlarged picture of the
// largest whole multiple that fits (kept between presents), then a linear one
// from it into the picture's rectangle. The bars around it are cleared black.
class GlPresenter {
public:
  explicit GlPresenter(GlShared &shared) : shared(shared) {}

  // Draws `source` (sourceWidth by sourceHeight) into the default framebuffer
  // of drawableWidth by drawableHeight pixels. Leaves the scissor test off,
  // every colour plane writable and the framebuffer bindings changed.
  void Draw(GLuint source, int sourceWidth, int sourceHeight, int drawableWidth, int drawableHeight);
  // Deletes the enlarged picture (in the current context).
  void Destroy();

  // For tests: while on, every Draw keeps a copy of the window's picture and,
  // when that stage ran, of the enlarged picture (left empty when it did not).
  void SetCapture(bool on) { capturing = on; }
  const ArgbImage &CapturedWindow() const { return capturedWindow; }
  const ArgbImage &CapturedEnlarged() const { return capturedEnlarged; }

private:
  // The enlarged picture's framebuffer at this size; false when it cannot be made.
  bool Enlarged(int width, int height);
  // Reads the bound read framebuffer into `image`, row 0 at the top.
  static void Capture(int width, int height, ArgbImage &image);

  GlShared &shared;
  // The context the names below belong to: after the driver reset the
  // context they mean nothing and are forgotten, not deleted.
  unsigned generation = 0;
  GLuint framebuffer = 0;
  GLuint colour = 0;
  int width = 0;
  int height = 0;
  bool capturing = false;
  ArgbImage capturedWindow;
  ArgbImage capturedEnlarged;
};
