#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

// The OpenGL 3.3 core context of the window: made hardware-accelerated where
// possible and with Mesa's software renderer otherwise, robust where the
// driver offers it; it tells when the driver reset it and is made anew after.
class GlContext {
public:
  GlContext() = default;
  GlContext(const GlContext &) = delete;
  GlContext &operator=(const GlContext &) = delete;
  ~GlContext();

  // Starts SDL's video subsystem and makes the context for the window; false
  // with a line on standard error when that is not possible.
  bool Open(SDL_Window *window);
  // Deletes the context and stops the video subsystem; safe to call more than once.
  void Close();
  SDL_GLContext Handle() const { return context; }

  // Reads, in the new context, how it reports a reset.
  void FindResetQuery();

  // Whether the driver reset the context (seen by CheckReset).
  bool IsLost() const { return lost; }
  // True (and the context lost) when the driver reports that it reset the context.
  bool CheckReset();
  // Whether a new context may be made: the old one is not lost, or the driver
  // has finished with its reset.
  bool CanReset() const;
  // Deletes the context the driver reset and makes a new one for the window
  // (null: none is made). False when that fails; the caller then makes its
  // GL objects again and calls Restored.
  bool Recreate(SDL_Window *window);
  // The new context has everything drawing needs: it is not lost any more.
  void Restored() { lost = false; }

private:
  // How a context loss is detected.
  enum class ResetQuery { None, Core, Arb };

  bool Create(SDL_Window *window);
  static SDL_GLContext TryContext(SDL_Window *window, int accelerated, bool robust);
  // The context exists and is current.
  bool IsCurrent() const;
  GLenum QueryResetStatus() const;

  bool videoInitialised = false;
  SDL_GLContext context = nullptr;
  bool lost = false;
  ResetQuery resetQuery = ResetQuery::None;
};
