#include "platform/GlBatchBuffer.h"

#include "gfx/FaceBatch.h"

#include <algorithm>
#include <cstddef>
#include <vector>

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
    if(ebo != 0)
      glDeleteBuffers(1, &ebo);
  }
  vao = 0;
  vbo = 0;
  ebo = 0;
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
    ebo = 0;
    capacityQuads = 0;
  }
  if(vao == 0)
  {
    generation = shared->generation;
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glGenBuffers(1, &ebo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    // The vertex array keeps the index buffer bound.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
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
    // Each quad's fan (0 1 2 3) as its two triangles, 0 1 2 and 0 2 3: the
    // same triangles with the same corners in the same order, so the same
    // pixels and values, in one draw rather than one per quad.
    std::vector<GLuint> indices(static_cast<size_t>(capacityQuads) * QuadIndices);
    for(size_t q = 0; q < static_cast<size_t>(capacityQuads); ++q)
    {
      const GLuint first = static_cast<GLuint>(q * FaceBatch::QuadVertices);
      const GLuint fan[QuadIndices] = {first, first + 1, first + 2, first, first + 2, first + 3};
      std::copy(fan, fan + QuadIndices, indices.begin() + static_cast<ptrdiff_t>(q * QuadIndices));
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
                 GL_STATIC_DRAW);
  }
  if(from < quads)
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(from) * FaceBatch::QuadVertices * stride,
                    static_cast<GLsizeiptr>(quads - from) * FaceBatch::QuadVertices * stride,
                    batch.Vertices() + static_cast<size_t>(from) * FaceBatch::QuadVertices);
  return true;
}

void GlBatchBuffer::Draw(int quadCount) const
{
  if(quadCount > 0)
    glDrawElements(GL_TRIANGLES, quadCount * QuadIndices, GL_UNSIGNED_INT, nullptr);
}
