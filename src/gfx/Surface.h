#pragma once

#include "gfx/DrawingContext.h"

#include <cstdint>
#include <vector>

class GraphicsDevice;
class RenderBackend;

// The back buffer's pixels as the processor sees them: a drawing context for
// exact 2D drawing after a scene, and a read-only lock for capturing a frame.
// The copy is read from the back end when first needed after the back end drew
// (what the device has recorded is drawn first), and written back before the
// back end draws or presents again.
class Surface {
public:
  Surface(RenderBackend &backend, GraphicsDevice &device);

  int Width() const { return width; }
  int Height() const { return height; }

  // A drawing context over the back buffer; null while one is out already.
  DrawingContext *GetDC();
  // Ends the drawing started by GetDC; what was drawn will be shown.
  void ReleaseDC(DrawingContext *context);

  // The pixels, read-only, 0xXXRRGGBB, row 0 at the top; `pitch` receives
  // the number of words from one row to the next.
  const uint32_t *LockRect(int &pitch);
  void UnlockRect();

  // For the device: the back end drew, so the copy here is out of date.
  void MarkStale() { stale = true; }
  // For the device: writes drawing done here back to the back end.
  void Flush();

private:
  void Pull();

private:
  RenderBackend &backend;
  GraphicsDevice &device;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  DrawingContext context;
  bool contextOut = false;
  bool stale = true;
  bool dirty = false;
};
