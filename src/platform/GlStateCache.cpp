#include "platform/GlStateCache.h"

#include <algorithm>

GlRect ToGlRect(const Viewport &viewport, int bufferHeight)
{
  const long long limit = 1 << 20;
  const long long x = std::min<long long>(viewport.x, limit);
  const long long y = std::min<long long>(viewport.y, limit);
  const long long w = std::min<long long>(viewport.width, limit);
  const long long h = std::min<long long>(viewport.height, limit);
  return GlRect{static_cast<int>(x), static_cast<int>(bufferHeight - y - h), static_cast<int>(w),
                static_cast<int>(h)};
}

void GlStateCache::ForgetAllButBindings()
{
  const GLuint keepProgram = program;
  const GLuint keepVao = vao;
  const GLuint keepBuffer = arrayBuffer;
  *this = GlStateCache{};
  if(keepProgram != ~0u)
    glUseProgram(keepProgram);
  program = keepProgram;
  vao = keepVao;
  arrayBuffer = keepBuffer;
  glBindVertexArray(keepVao == ~0u ? 0 : keepVao);
  glBindBuffer(GL_ARRAY_BUFFER, keepBuffer == ~0u ? 0 : keepBuffer);
}

void GlStateCache::UseProgram(GLuint newProgram, const GlStreamBuffer &stream)
{
  if(program != newProgram)
  {
    glUseProgram(newProgram);
    program = newProgram;
  }
  if(vao != stream.vao)
  {
    glBindVertexArray(stream.vao);
    vao = stream.vao;
  }
  if(arrayBuffer != stream.vbo)
  {
    glBindBuffer(GL_ARRAY_BUFFER, stream.vbo);
    arrayBuffer = stream.vbo;
  }
}

// The device culls by the winding seen on the screen. GL's window y runs up,
// the screen's down, but the picture is not mirrored, so a triangle that
// runs clockwise on the screen runs clockwise for GL too: with clockwise
// front faces, culling back faces removes the counter-clockwise ones.
void GlStateCache::SetCull(CullMode mode)
{
  const int value = static_cast<int>(mode);
  if(cull == value)
    return;
  cull = value;
  switch(mode)
  {
    case CullMode::None: glDisable(GL_CULL_FACE); break;
    case CullMode::CounterClockwise:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      break;
    case CullMode::Clockwise:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_FRONT);
      break;
  }
}

void GlStateCache::SetDepth(bool test, bool write)
{
  if(depthTest != (test ? 1 : 0))
  {
    depthTest = test ? 1 : 0;
    if(test)
      glEnable(GL_DEPTH_TEST);
    else
      glDisable(GL_DEPTH_TEST);
  }
  if(depthWrite != (write ? 1 : 0))
  {
    depthWrite = write ? 1 : 0;
    glDepthMask(write ? GL_TRUE : GL_FALSE);
  }
}

void GlStateCache::SetBlend(bool enabled)
{
  if(blend == (enabled ? 1 : 0))
    return;
  blend = enabled ? 1 : 0;
  if(enabled)
    glEnable(GL_BLEND);
  else
    glDisable(GL_BLEND);
}

void GlStateCache::SetViewport(const Viewport &newViewport, int bufferHeight)
{
  const GlRect rect = ToGlRect(newViewport, bufferHeight);
  if(!(viewport == rect))
  {
    viewport = rect;
    glViewport(rect.x, rect.y, rect.width, rect.height);
  }
  if(minZ != newViewport.minZ || maxZ != newViewport.maxZ)
  {
    minZ = newViewport.minZ;
    maxZ = newViewport.maxZ;
    glDepthRange(newViewport.minZ, newViewport.maxZ);
  }
  SetScissor(rect);
}

void GlStateCache::UpdatePixelOffset(GLint location)
{
  const float offset[2] = {viewport.width > 0 ? 1.f / static_cast<float>(viewport.width) : 0.f,
                           viewport.height > 0 ? -1.f / static_cast<float>(viewport.height) : 0.f};
  if(offset[0] == pixelOffset[0] && offset[1] == pixelOffset[1])
    return;
  pixelOffset[0] = offset[0];
  pixelOffset[1] = offset[1];
  glUniform2fv(location, 1, offset);
}

void GlStateCache::SetScissor(const GlRect &rect)
{
  if(scissor == rect)
    return;
  scissor = rect;
  glScissor(rect.x, rect.y, std::max(rect.width, 0), std::max(rect.height, 0));
}

void GlStateCache::SetSampler(GLuint newSampler)
{
  if(sampler == newSampler)
    return;
  sampler = newSampler;
  glBindSampler(0, newSampler);
}

void GlStateCache::SetLogicOp(GLenum operation)
{
  if(logicOp == static_cast<long long>(operation))
    return;
  if(operation == 0)
    glDisable(GL_COLOR_LOGIC_OP);
  else
  {
    if(logicOp <= 0)
      glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(operation);
  }
  logicOp = static_cast<long long>(operation);
}
