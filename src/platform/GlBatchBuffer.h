#pragma once

#include "gfx/BackendData.h"
#include "platform/GlShared.h"

#include <epoxy/gl.h>

#include <memory>

class FaceBatch;

// The GL copy of a FaceBatch: a vertex array and buffer holding its vertices,
// and an index buffer that makes every quad two triangles, as a fan of its
// own would, for one draw of them all. Sync uploads the vertices from the
// first quad that changed on.
class GlBatchBuffer : public BackendData {
public:
  explicit GlBatchBuffer(std::shared_ptr<GlShared> shared);
  ~GlBatchBuffer() override;

  const GlShared *Owner() const { return shared.get(); }
  // Brings the buffer up to date and leaves its vertex array bound. False
  // when GL failed.
  bool Sync(FaceBatch &batch);
  // Draws every quad's two triangles, in order, with one call.
  void Draw(int quadCount) const;
  GLuint VertexArray() const { return vao; }
  GLuint Buffer() const { return vbo; }

private:
  // Indices per quad: two triangles.
  static constexpr int QuadIndices = 6;

  void Destroy();

private:
  std::shared_ptr<GlShared> shared;
  GLuint vao = 0;
  GLuint vbo = 0;
  GLuint ebo = 0;
  int capacityQuads = 0;
  unsigned generation = 0;
};
