#pragma once

#include "gfx/PresentGate.h"
#include "platform/GlPresenter.h"
#include "platform/GlShared.h"
#include "platform/GlxSubBufferCopy.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

class NativeWindow;

// The back buffer: an offscreen framebuffer of width by height pixels (RGBA8
// colour, 16-bit depth) that every draw goes to. It is read and written whole
// by the processor, and presented by scaling it into the window with its
// aspect kept, sharply (see GlPresenter).
class GlBackBuffer {
public:
  GlBackBuffer(NativeWindow &window, GlShared &shared, int width, int height);

  // Makes the framebuffer in the current context, black and opaque with the
  // far depth; false (and nothing made) when the driver cannot.
  bool Create();
  void Destroy();
  GLuint Framebuffer() const { return framebuffer; }

  // The pixels as 0xFFRRGGBB words, row 0 at the top.
  void Read(uint32_t *pixels);
  void Write(const uint32_t *pixels);

  // Shows the back buffer in the window (if it is open), in the drawable's
  // real pixels; only `changed` (back buffer pixels) may differ from what
  // was presented before. It does not wait for the display: the
  // application's loop paces the frames, and the gate (if any) the showing
  // of each picture. It leaves a scissor rectangle of its own.
  void Present(const PixelRect &changed);
  GlPresenter &Presenter() { return presenter; }
  // Asked before each picture is copied into the window where the copy does
  // not wait for the display's refresh (the software renderer's partial
  // copies); null for none.
  void SetPresentGate(PresentGate *presentGate) { gate = presentGate; }
  // Copies colour and depth aside into slot `slot`, and back (each slot's
  // framebuffer is made on first use).
  bool SaveCopy(int slot);
  bool RestoreCopy(int slot);

private:
  // Copies colour and depth whole between two framebuffers.
  void Blit(GLuint from, GLuint to);
  void DestroyCopies();

  NativeWindow &window;
  GlShared &shared;
  int width = 0;
  int height = 0;
  GLuint framebuffer = 0;
  GLuint colourTexture = 0;
  GLuint depthBuffer = 0;
  // Copies of the back buffer where the layers of a frame start.
  struct Copy {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
  };
  std::vector<Copy> copies;
  // The context the copies' names belong to: after the driver reset the
  // context they mean nothing and are forgotten, not deleted.
  unsigned copiesGeneration = 0;
  std::vector<uint32_t> scratch;
  GlPresenter presenter;
  // Where usable, the window is shown by copying the part that changed, and
  // its drawable's back buffer keeps the whole picture between frames.
  GlxSubBufferCopy partialCopy;
  // The drawable's size at the last partial copy; 0 by 0 when its back
  // buffer holds no whole picture (nothing copied since it was made).
  int copiedWidth = 0;
  int copiedHeight = 0;
  PresentGate *gate = nullptr;
};
