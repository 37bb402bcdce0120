#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

#include <vector>

class GlTexture;

// What the back end and its textures share. Textures may outlive the back end
// (their owners are torn down after the device); once the context is gone
// they keep only their texels.
struct GlShared {
  // The context the GL names belong to; null once it is gone.
  SDL_GLContext context = nullptr;
  // The texture bound to unit 0, so that binds are skipped when nothing changes.
  GLuint boundTexture = 0;
  // Every live texture, to be uploaded again into a new context after a reset.
  std::vector<GlTexture *> textures;
  // Counts the contexts made: GL names of an earlier context mean nothing.
  unsigned generation = 0;
  // A vertex array or buffer some copy of the device's objects bound was
  // deleted: the state cache must not trust its record of the bindings.
  bool bindingsStale = false;

  // GL may be called: the context exists and is current. Closing the window
  // leaves the context without a drawable (and not current) until the back
  // end goes.
  bool Usable() const;

  void Bind(GLuint name);
};
