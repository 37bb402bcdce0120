#pragma once

#include <epoxy/gl.h>

// The back end's programs, as GLSL 3.30 sources, and the helper that
// builds a program from them.
namespace GlShaderProgram {
  // Cube faces and walls: the device's transform, its pixel-centre and depth
  // conventions, a vertex or state colour, optionally modulating the texture.
  extern const char *const FaceVertexShader;
  extern const char *const FaceFragmentShader;
  // Sprites: positions already in normalised device coordinates, the texture
  // times a tint.
  // Faces of a batch: the face program's geometry and colour, the texel the
  // whole face would show fetched from the face's layer of an atlas.
  extern const char *const BatchVertexShader;
  extern const char *const BatchFragmentShader;
  extern const char *const SpriteVertexShader;
  extern const char *const SpriteFragmentShader;
  // The presented picture's stretch: one rectangle filling the viewport, its
  // texture sampled at each pixel's centre.
  extern const char *const StretchVertexShader;
  extern const char *const StretchFragmentShader;

  // Compiles both stages and links them; 0 (with the driver's log on standard
  // error) when either does not compile or the program does not link.
  GLuint Link(const char *vertexSource, const char *fragmentSource);
}
