#include "platform/GlStreamBuffer.h"

#include <algorithm>

GlStreamBuffer GlStreamBuffer::Create(int stride, int capacity)
{
  GlStreamBuffer stream;
  stream.stride = stride;
  stream.capacity = capacity;
  glGenVertexArrays(1, &stream.vao);
  glBindVertexArray(stream.vao);
  glGenBuffers(1, &stream.vbo);
  glBindBuffer(GL_ARRAY_BUFFER, stream.vbo);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity) * stride, nullptr, GL_STREAM_DRAW);
  return stream;
}

void GlStreamBuffer::Destroy()
{
  glDeleteVertexArrays(1, &vao);
  glDeleteBuffers(1, &vbo);
  *this = GlStreamBuffer{};
}

int GlStreamBuffer::Append(const void *vertices, int count)
{
  if(count > capacity)
  {
    capacity = std::max(count, capacity * 2);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity) * stride, nullptr, GL_STREAM_DRAW);
    next = 0;
  }
  else if(next + count > capacity)
  {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity) * stride, nullptr, GL_STREAM_DRAW);
    next = 0;
  }
  const int first = next;
  glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first) * stride, static_cast<GLsizeiptr>(count) * stride,
                  vertices);
  next += count;
  return first;
}
