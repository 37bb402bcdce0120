#pragma once

struct SDL_Window;

// Shows part of a window's back buffer, where the window is an X11 one drawn
// by a software renderer: the copy of the whole back buffer into the window
// that a swap makes is then a large part of every frame's cost, and a frame
// that changed a small part of the picture need not pay it. The back buffer
// is never swapped while this is used, so it keeps the whole picture from
// one frame to the next.
//
// Only where the renderer is a software one: on a GPU a swap costs little and
// waits for the display's retrace, which a partial copy does not do.
class GlxSubBufferCopy {
public:
  // Looks at the window and the current GL context: the copy is usable when
  // the window is an X11 one, GLX can copy part of a back buffer
  // (GLX_MESA_copy_sub_buffer), and the renderer draws on the processor.
  void Setup(SDL_Window *window);
  // Forgets the window, after which the copy is not usable until Setup.
  void Forget();
  bool Usable() const { return drawable != 0; }

  // Copies the rectangle of the back buffer into the window: x and y are
  // its lower left corner in drawable pixels, rows counting up from the
  // bottom as GL counts them.
  void Copy(int x, int y, int width, int height) const;

private:
  // The X display and window, kept as plain values so that this header
  // does not bring in X11's.
  void *display = nullptr;
  unsigned long drawable = 0;
};
