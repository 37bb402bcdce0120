#pragma once

#include "gfx/RenderBackend.h"

#include <memory>

class NativeWindow;

// The OpenGL 3.3 core back end: an offscreen 640 by 480 framebuffer (RGBA8
// colour, 16-bit depth) is the back buffer; Present scales it into the window
// with its aspect kept and paces itself to the display's refresh rate where
// the swap does not wait for the retrace.
namespace GlBackend {
  // Tries a hardware-accelerated context first, then Mesa's software renderer.
  // Null (with a line on standard error) when neither can be made.
  std::unique_ptr<RenderBackend> Create(NativeWindow &window, int width, int height);
}
