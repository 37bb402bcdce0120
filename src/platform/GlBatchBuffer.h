#pragma once

#include "gfx/BackendData.h"
#include "platform/GlShared.h"

#include <epoxy/gl.h>

#include <memory>
#include <vector>

class FaceBatch;

// The GL copy of a FaceBatch: a vertex array and buffer holding its vertices,
// and the first vertex and count of every quad for one multi-draw of fans.
// Sync uploads the vertices from the first quad that changed on.
class GlBatchBuffer : public BackendData {
public:
  explicit GlBatchBuffer(std::shared_ptr<GlShared> shared);
  ~GlBatchBuffer() override;

  const GlShared *Owner() const { return shared.get(); }
  // Brings the buffer up to date and leaves its vertex array bound. False
  // when GL failed.
  bool Sync(FaceBatch &batch);
  // Draws every quad as a fan of its own, in order, with one call.
  void Draw(int quadCount) const;
  GLuint VertexArray() const { return vao; }
  GLuint Buffer() const { return vbo; }

private:
  void Destroy();

private:
  std::shared_ptr<GlShared> shared;
  GLuint vao = 0;
  GLuint vbo = 0;
  int capacityQuads = 0;
  unsigned generation = 0;
  std::vector<GLint> firsts;
  std::vector<GLsizei> counts;
};
