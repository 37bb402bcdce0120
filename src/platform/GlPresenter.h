#pragma once

#include "gfx/ArgbImage.h"
#include "platform/GlShared.h"
#include "platform/Letterbox.h"

#include <epoxy/gl.h>

// Shows a framebuffer's colour in the window's own framebuffer, fitted as
// Letterbox says: where the picture is a whole multiple of the source, one
// nearest blit; otherwise a nearest blit into an enlarged picture of the
// largest whole multiple that fits (kept between presents), then a linear
// stretch from it into the picture's rectangle. The stretch draws one
// textured rectangle with a linear sampler, which the software renderer does
// in about two thirds of the time of a linear blit of the same pixels; a blit
// stands in when the program cannot be made. The bars around the picture are
// cleared black.
class GlPresenter {
public:
  explicit GlPresenter(GlShared &shared) : shared(shared) {}

  // Draws framebuffer `source` (sourceWidth by sourceHeight, its colour in
  // texture `sourceTexture`) into the default framebuffer of drawableWidth by
  // drawableHeight pixels, and returns the drawable pixels drawn (y counting
  // down). With `changed` (source pixels), only those that may differ from
  // the source as drawn the time before are drawn: the window keeps that
  // picture elsewhere, the bars too. Leaves the scissor test off, every
  // colour plane writable, and the framebuffer bindings, viewport, program,
  // vertex array, unit 0's sampler and texture, depth test, blending, culling
  // and logic operation changed.
  PixelRect Draw(GLuint source, GLuint sourceTexture, int sourceWidth, int sourceHeight, int drawableWidth,
                 int drawableHeight, const PixelRect *changed = nullptr);
  // Deletes the enlarged picture and the stretch's program (in the current
  // context).
  void Destroy();

  // For tests: while on, every Draw keeps a copy of the window's picture and,
  // when that stage ran, of the enlarged picture (left empty when it did not).
  void SetCapture(bool on) { capturing = on; }
  const ArgbImage &CapturedWindow() const { return capturedWindow; }
  const ArgbImage &CapturedEnlarged() const { return capturedEnlarged; }

private:
  // The enlarged picture's framebuffer at this size; false when it cannot be made.
  bool Enlarged(int width, int height);
  void DestroyEnlarged();
  void DestroyStretch();
  // Forgets names of an earlier context (they mean nothing after a reset).
  void CheckGeneration();
  // The stretch's program, vertex array and sampler; false when the driver
  // cannot make them (the stretch is then blitted).
  bool StretchReady();
  // Stretches `texture` over the rectangle of `box` whose bottom row is `bottom`.
  void Stretch(GLuint texture, const Letterbox &box, int bottom);
  // Reads the bound read framebuffer into `image`, row 0 at the top.
  static void Capture(int width, int height, ArgbImage &image);

  GlShared &shared;
  // The context the names below belong to: after the driver reset the
  // context they mean nothing and are forgotten, not deleted.
  unsigned generation = 0;
  GLuint framebuffer = 0;
  GLuint colour = 0;
  GLuint program = 0;
  GLuint vertexArray = 0;
  GLuint sampler = 0;
  // The program could not be made in this context: not tried again.
  bool stretchFailed = false;
  int width = 0;
  int height = 0;
  // The enlarged picture holds all of the source as last drawn: a draw of
  // what changed enlarges only that.
  bool enlargedWhole = false;
  bool capturing = false;
  ArgbImage capturedWindow;
  ArgbImage capturedEnlarged;
};
