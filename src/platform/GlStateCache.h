#pragma once

#include "gfx/DeviceState.h"
#include "gfx/Viewport.h"
#include "platform/GlStreamBuffer.h"

#include <epoxy/gl.h>

#include <cstdint>

// A viewport as a GL rectangle (y counted up from the bottom of a buffer of
// `bufferHeight` rows), clamped to what GL takes.
struct GlRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool operator==(const GlRect &) const = default;
};

GlRect ToGlRect(const Viewport &viewport, int bufferHeight);

// GL state as last set, so that draws only change what differs. -1 means unknown.
struct GlStateCache {
  GLuint program = ~0u;
  GLuint vao = ~0u;
  GLuint arrayBuffer = ~0u;
  GLuint sampler = ~0u;
  int cull = -1;
  int depthTest = -1;
  int depthWrite = -1;
  int blend = -1;
  // 0 when logic operations are off, otherwise the operation (GL_AND, GL_OR).
  long long logicOp = -1;
  GlRect viewport{-1, -1, -1, -1};
  float minZ = -1.f;
  float maxZ = -1.f;
  GlRect scissor{-1, -1, -1, -1};

  // Face program uniforms.
  float transform[16] = {};
  bool transformKnown = false;
  float pixelOffset[2] = {-1.f, -1.f};
  float stateColour[4] = {-1.f, -1.f, -1.f, -1.f};
  int useVertexColour = -1;
  int modulate = -1;
  // Sprite program uniform.
  uint32_t tint = 0;
  bool tintKnown = false;

  // Forgets everything but the program, the vertex array and the array
  // buffer, and binds those three again.
  void ForgetAllButBindings();

  void UseProgram(GLuint newProgram, const GlStreamBuffer &stream);
  void SetCull(CullMode mode);
  void SetDepth(bool test, bool write);
  void SetBlend(bool enabled);
  // Turns logic operations off (0) or on with the operation.
  void SetLogicOp(GLenum operation);
  // The viewport (in a buffer of `bufferHeight` rows), its depth range and a
  // scissor to it (the device clips everything to the viewport).
  void SetViewport(const Viewport &newViewport, int bufferHeight);
  // Half a pixel right and down, in clip units of the current viewport, into
  // the face program's uniform at `location`.
  void UpdatePixelOffset(GLint location);
  void SetScissor(const GlRect &rect);
  void SetSampler(GLuint newSampler);
};
