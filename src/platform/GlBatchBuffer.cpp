#include "platform/GlBatchBuffer.h"

#include "gfx/FaceBatch.h"

#include <cstddef>

GlBatchBuffer::GlBatchBuffer(std::shared_ptr<GlShared> shared)
  : shared(std::move(shared))
{
}

GlBatchBuffer::~GlBatchBuffer()
{
  Destroy();
}

void GlBatchBuffer::Destroy()
{
  if(shared->Usable() && generation == shared->generation)
  {
    // The state cache must not think a deleted array is still bound.
    if(vao != 0 || vbo != 0)
      shared->bindingsStale = true;
    if(vao != 0)
      glDeleteVertexArrays(1, &vao);
    if(vbo != 0)
      glDeleteBuffers(1, &vbo);
  }
  vao = 0;
  vbo = 0;
  capacityQuads = 0;
}

bool GlBatchBuffer::Sync(FaceBatch &batch)
{
  constexpr GLsizei stride = sizeof(BatchVertex);
  const int quads = batch.QuadCount();
  int from = batch.TakeChangedFrom();
  if(generation != shared->generation)
  {
    vao = 0;
    vbo = 0;
    capacityQuads = 0;
  }
  if(vao == 0)
  {
    generation = shared->generation;
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void *>(offsetof(BatchVertex, x)));
    // The diffuse word 0xAARRGGBB is stored as bytes blue, green, red, alpha.
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void *>(offsetof(BatchVertex, diffuse)));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void *>(offsetof(BatchVertex, u)));
    glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void *>(offsetof(BatchVertex, layer)));
    for(GLuint i = 0; i < 4; ++i)
      glEnableVertexAttribArray(i);
    from = 0;
  }
  else
  {
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
  }
  if(quads > capacityQuads)
  {
    // Room to grow: cubes are placed one at a time.
    capacityQuads = quads + quads / 2 + 16;
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacityQuads) * FaceBatch::QuadVertices * stride, nullptr,
                 GL_DYNAMIC_DRAW);
    from = 0;
  }
  if(from < quads)
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(from) * FaceBatch::QuadVertices * stride,
                    static_cast<GLsizeiptr>(quads - from) * FaceBatch::QuadVertices * stride,
                    batch.Vertices() + static_cast<size_t>(from) * FaceBatch::QuadVertices);
  if(static_cast<int>(firsts.size()) < quads)
  {
    for(int q = static_cast<int>(firsts.size()); q < quads; ++q)
    {
      firsts.push_back(q * FaceBatch::QuadVertices);
      counts.push_back(FaceBatch::QuadVertices);
    }
  }
  return true;
}

void GlBatchBuffer::Draw(int quadCount) const
{
  if(quadCount > 0)
    glMultiDrawArrays(GL_TRIANGLE_FAN, firsts.data(), counts.data(), quadCount);
}
