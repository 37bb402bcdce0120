#pragma once

#include <epoxy/gl.h>

// A vertex buffer written front to back, one draw after another, and orphaned
// when full, so that no draw waits for the one before it.
struct GlStreamBuffer {
  GLuint vao = 0;
  GLuint vbo = 0;
  int stride = 0;
  int capacity = 0;
  int next = 0;

  // Makes the vertex array and its buffer of `capacity` vertices of `stride`
  // bytes, and leaves both bound.
  static GlStreamBuffer Create(int stride, int capacity);
  // Deletes the vertex array and the buffer and forgets them.
  void Destroy();

  // Copies `count` vertices in and returns the index of the first one.
  int Append(const void *vertices, int count);
};
