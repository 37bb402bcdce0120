#pragma once

#include "gfx/ArgbImage.h"
#include "gfx/RenderBackend.h"

#include <memory>

class NativeWindow;

// The OpenGL 3.3 core back end: an offscreen 640 by 480 framebuffer (RGBA8
// colour, 16-bit depth) is the back buffer; Present scales it into the window
// with its aspect kept: enlarged by the largest whole factor that fits with
// nearest sampling, and stretched the rest of the way with a linear filter
// (the application's loop paces the frames). Faces of a
// batch come from one atlas texture per layer pool, drawn with one call;
// sprites may combine with logic operations. Drawing follows the device's
// conventions: row-vector matrices, clip depth 0..1, viewport y from the top,
// pixel centres on whole coordinates, culling by the winding on the screen.
//
// The NativeWindow object must outlive the back end; its window may be closed
// first (the back end then draws and presents nothing). Textures may outlive
// the back end and keep their texels.
//
// This factory is the back end's only entry; OpenGlBackend and the Gl* parts
// it is made of are internal to platform/.
namespace GlBackend {
  // Tries a hardware-accelerated context first, then Mesa's software renderer.
  // Null (with a line on standard error) when neither can be made.
  std::unique_ptr<RenderBackend> Create(NativeWindow &window, int width, int height);

  // For tests: while on, every present of `backend` (made by Create) keeps a
  // copy of what it drew into the window and of the enlarged picture, when
  // that stage ran. False (and nothing kept) for any other back end.
  bool CapturePresents(RenderBackend &backend, bool on);
  // The copies of the last present while capturing, row 0 at the top; empty
  // when there is none.
  ArgbImage CapturedWindow(RenderBackend &backend);
  ArgbImage CapturedEnlarged(RenderBackend &backend);
}
