#include "platform/OpenGlBackend.h"

#include "base/Log.h"
#include "gfx/LayerPool.h"
#include "platform/GlBatchBuffer.h"
#include "platform/GlLayerAtlas.h"
#include "platform/GlShaderProgram.h"
#include "platform/NativeWindow.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
  // A sprite corner: position in normalised device coordinates, texture coordinate.
  struct SpriteVertex {
    float x = 0.f;
    float y = 0.f;
    float u = 0.f;
    float v = 0.f;
  };

  void ArgbToFloats(uint32_t argb, float out[4])
  {
    out[0] = ((argb >> 16) & 0xFF) / 255.f;
    out[1] = ((argb >> 8) & 0xFF) / 255.f;
    out[2] = (argb & 0xFF) / 255.f;
    out[3] = ((argb >> 24) & 0xFF) / 255.f;
  }
}

OpenGlBackend::OpenGlBackend(NativeWindow &window, int width, int height)
  : window(window), shared(std::make_shared<GlShared>()), width(width), height(height),
    backBuffer(window, *shared, width, height)
{
}

OpenGlBackend::~OpenGlBackend()
{
  // Textures still held by others drop their names with the context.
  if(Ready())
  {
    white.reset();
    DestroyObjects();
  }
  shared->context = nullptr;
  white.reset();
  context.Close();
}

bool OpenGlBackend::Initialise()
{
  if(!window.Handle())
  {
    LogLine("cannot create an OpenGL context: the window is not open");
    return false;
  }
  if(!context.Open(window.Handle()))
    return false;
  shared->context = context.Handle();
  ++shared->generation;
  if(!CreateObjects())
    return false;
  white = std::make_unique<GlTexture>(shared, 1, 1, &WhiteTexel);
  if(white->Name() == 0 || !backBuffer.Create())
  {
    LogLine("cannot create the OpenGL back buffer");
    return false;
  }
  ApplyFixedState();
  return true;
}

std::unique_ptr<DeviceTexture> OpenGlBackend::CreateTexture(int textureWidth, int textureHeight, const uint32_t *argb)
{
  if(textureWidth <= 0 || textureHeight <= 0 || textureWidth > maxTextureSize || textureHeight > maxTextureSize ||
     !Ready())
    return nullptr;
  auto texture = std::make_unique<GlTexture>(shared, textureWidth, textureHeight, argb);
  if(texture->Name() == 0)
    return nullptr;
  return texture;
}

void OpenGlBackend::Clear(const Viewport &viewport, bool target, bool depth, uint32_t argb, float z)
{
  if(!Ready() || (!target && !depth))
    return;
  cache.SetScissor(ToGlRect(viewport, height));
  GLbitfield mask = 0;
  if(target)
  {
    float colour[4];
    ArgbToFloats(argb, colour);
    glClearColor(colour[0], colour[1], colour[2], 1.f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if(depth)
  {
    cache.SetDepth(cache.depthTest == 1, true);
    glClearDepth(std::clamp(z, 0.f, 1.f));
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  glClear(mask);
}

void OpenGlBackend::DrawTriangleFan(const Vertex *vertices, int primitiveCount, const DeviceTexture *texture,
                                    const FaceDrawState &state)
{
  if(!Ready() || !vertices || primitiveCount <= 0)
    return;
  CheckBindings();
  cache.UseProgram(faceProgram, faces);
  cache.SetCull(state.cullMode);
  cache.SetDepth(state.depthTest, state.depthWrite);
  cache.SetBlend(state.alphaBlend);
  cache.SetLogicOp(0);
  SetViewport(state.viewport);
  cache.SetSampler(faceSampler);
  shared->Bind(TextureName(texture));

  if(!cache.transformKnown || std::memcmp(cache.transform, state.transform.m, sizeof cache.transform) != 0)
  {
    std::memcpy(cache.transform, state.transform.m, sizeof cache.transform);
    cache.transformKnown = true;
    // Rows of the device's matrix become GL's columns: GL's matrix times a
    // column vector is then the row vector times the device's matrix.
    glUniformMatrix4fv(faceTransform, 1, GL_FALSE, cache.transform);
  }
  const float colour[4] = {state.colour.r, state.colour.g, state.colour.b, state.colour.a};
  if(std::memcmp(cache.stateColour, colour, sizeof colour) != 0)
  {
    std::memcpy(cache.stateColour, colour, sizeof colour);
    glUniform4fv(faceStateColour, 1, colour);
  }
  if(cache.useVertexColour != (state.useVertexColour ? 1 : 0))
  {
    cache.useVertexColour = state.useVertexColour ? 1 : 0;
    glUniform1i(faceUseVertexColour, cache.useVertexColour);
  }
  if(cache.modulate != (state.modulate ? 1 : 0))
  {
    cache.modulate = state.modulate ? 1 : 0;
    glUniform1i(faceModulate, cache.modulate);
  }

  const int count = primitiveCount + 2;
  const int first = faces.Append(vertices, count);
  glDrawArrays(GL_TRIANGLE_FAN, first, count);
}

void OpenGlBackend::DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad)
{
  if(!Ready())
    return;
  CheckBindings();
  cache.UseProgram(spriteProgram, sprites);
  cache.SetCull(CullMode::None);
  cache.SetDepth(false, false);
  // A cursor's mask and picture combine bit by bit with what is there; with
  // a logic operation on, blending does not apply.
  switch(quad.blend)
  {
    case SpriteBlend::Alpha:
      cache.SetLogicOp(0);
      cache.SetBlend(true);
      break;
    case SpriteBlend::And:
      cache.SetBlend(false);
      cache.SetLogicOp(GL_AND);
      break;
    case SpriteBlend::Or:
      cache.SetBlend(false);
      cache.SetLogicOp(GL_OR);
      break;
  }
  SetViewport(Viewport{0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.f, 1.f});
  cache.SetScissor(ToGlRect(quad.viewport, height));
  cache.SetSampler(quad.smooth ? spriteSmoothSampler : spriteSampler);
  shared->Bind(TextureName(&texture));

  if(!cache.tintKnown || cache.tint != quad.colour)
  {
    cache.tint = quad.colour;
    cache.tintKnown = true;
    float tint[4];
    ArgbToFloats(quad.colour, tint);
    glUniform4fv(spriteTint, 1, tint);
  }

  // Pixels (y down) to normalised device coordinates (y up).
  const float sx = 2.f / static_cast<float>(width);
  const float sy = 2.f / static_cast<float>(height);
  const float left = quad.left * sx - 1.f;
  const float right = quad.right * sx - 1.f;
  const float top = 1.f - quad.top * sy;
  const float bottom = 1.f - quad.bottom * sy;
  const SpriteVertex corners[4] = {
    {left, top, quad.u0, quad.v0},
    {left, bottom, quad.u0, quad.v1},
    {right, top, quad.u1, quad.v0},
    {right, bottom, quad.u1, quad.v1},
  };
  const int first = sprites.Append(corners, 4);
  glDrawArrays(GL_TRIANGLE_STRIP, first, 4);
}

void OpenGlBackend::DrawFaceBatch(FaceBatch &batch, const FaceDrawState &state)
{
  if(!Ready() || batch.QuadCount() == 0 || !batchProgram)
    return;
  LayerPool &pool = batch.Pool();
  // The GL copies of the batch and of its pool live beside them; copies made
  // by another back end are replaced.
  auto *layers = dynamic_cast<GlLayerAtlas *>(pool.backendData.get());
  if(!layers || layers->Owner() != shared.get())
  {
    pool.backendData = std::make_unique<GlLayerAtlas>(shared, maxTextureSize);
    layers = static_cast<GlLayerAtlas *>(pool.backendData.get());
  }
  auto *buffer = dynamic_cast<GlBatchBuffer *>(batch.backendData.get());
  if(!buffer || buffer->Owner() != shared.get())
  {
    batch.backendData = std::make_unique<GlBatchBuffer>(shared);
    buffer = static_cast<GlBatchBuffer *>(batch.backendData.get());
  }

  CheckBindings();
  if(!layers->Sync(pool))
    return;
  if(!buffer->Sync(batch))
    return;
  // Sync bound the batch's own vertex array and buffer.
  cache.vao = buffer->VertexArray();
  cache.arrayBuffer = buffer->Buffer();
  if(cache.program != batchProgram)
  {
    glUseProgram(batchProgram);
    cache.program = batchProgram;
  }
  cache.SetCull(state.cullMode);
  cache.SetDepth(state.depthTest, state.depthWrite);
  cache.SetBlend(state.alphaBlend);
  cache.SetLogicOp(0);
  cache.SetViewport(state.viewport, height);
  cache.SetSampler(faceSampler);

  // Two draws a frame at most: the uniforms are simply set each time.
  glUniformMatrix4fv(batchTransform, 1, GL_FALSE, &state.transform.m[0][0]);
  const float offset[2] = {cache.viewport.width > 0 ? 1.f / static_cast<float>(cache.viewport.width) : 0.f,
                           cache.viewport.height > 0 ? -1.f / static_cast<float>(cache.viewport.height) : 0.f};
  glUniform2fv(batchPixelOffset, 1, offset);
  const float colour[4] = {state.colour.r, state.colour.g, state.colour.b, state.colour.a};
  glUniform4fv(batchStateColour, 1, colour);
  glUniform1i(batchUseVertexColour, state.useVertexColour ? 1 : 0);
  glUniform1i(batchModulate, state.modulate ? 1 : 0);
  glUniform1i(batchFaceSize, pool.LogicalSize());
  glUniform1i(batchLayerSize, pool.LayerSize());
  glUniform1i(batchLayersPerRow, pool.LayersPerRow());
  buffer->Draw(batch.QuadCount());
}

bool OpenGlBackend::SaveCopy(int slot)
{
  if(!Ready())
    return false;
  const bool saved = backBuffer.SaveCopy(slot);
  // The copy left the depth writes on.
  cache.depthWrite = 1;
  return saved;
}

bool OpenGlBackend::RestoreCopy(int slot)
{
  if(!Ready())
    return false;
  const bool restored = backBuffer.RestoreCopy(slot);
  cache.depthWrite = 1;
  return restored;
}

void OpenGlBackend::CheckBindings()
{
  if(!shared->bindingsStale)
    return;
  shared->bindingsStale = false;
  cache.vao = ~0u;
  cache.arrayBuffer = ~0u;
}

void OpenGlBackend::ReadBackBuffer(uint32_t *pixels)
{
  if(!pixels)
    return;
  if(!Ready())
  {
    std::fill(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
    return;
  }
  backBuffer.Read(pixels);
}

void OpenGlBackend::WriteBackBuffer(const uint32_t *pixels)
{
  if(!pixels || !Ready())
    return;
  backBuffer.Write(pixels);
}

bool OpenGlBackend::Present(const PixelRect &changed)
{
  if(context.CheckReset())
    return false;
  // A closed window shows nothing and loses nothing.
  if(!Ready())
    return true;
  backBuffer.Present(changed);
  // Presenting sets state of its own (scissor rectangles, the stretch's
  // program, vertex array, sampler and viewport): nothing set is known now.
  cache = GlStateCache{};
  return !context.CheckReset();
}

void OpenGlBackend::Submit()
{
  // The software renderer starts drawing what it has gathered on its own
  // threads and returns.
  if(Ready())
    glFlush();
}

ResetError OpenGlBackend::Reset()
{
  if(context.IsLost())
  {
    if(!RecreateContext())
      return ResetError::DeviceLost;
  }
  else if(!shared->Usable())
    return ResetError::DeviceLost;
  else
    backBuffer.Destroy();
  if(!backBuffer.Create())
    return ResetError::OutOfVideoMemory;
  ApplyFixedState();
  return ResetError::None;
}

bool OpenGlBackend::RecreateContext()
{
  if(!CanReset())
    return false;
  shared->context = nullptr;
  if(!context.Recreate(window.Handle()))
    return false;
  shared->context = context.Handle();
  ++shared->generation;
  shared->bindingsStale = false;
  shared->boundTexture = 0;
  if(!CreateObjects())
    return false;
  bool uploaded = true;
  for(GlTexture *texture : shared->textures)
    uploaded = texture->Upload() && uploaded;
  if(!uploaded)
    return false;
  context.Restored();
  return true;
}

bool OpenGlBackend::CreateObjects()
{
  cache = GlStateCache{};
  GLint reportedMax = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &reportedMax);
  maxTextureSize = reportedMax > 0 ? reportedMax : 2048;

  context.FindResetQuery();
  while(glGetError() != GL_NO_ERROR)
  {
  }

  faceProgram = GlShaderProgram::Link(GlShaderProgram::FaceVertexShader, GlShaderProgram::FaceFragmentShader);
  spriteProgram = GlShaderProgram::Link(GlShaderProgram::SpriteVertexShader, GlShaderProgram::SpriteFragmentShader);
  batchProgram = GlShaderProgram::Link(GlShaderProgram::BatchVertexShader, GlShaderProgram::BatchFragmentShader);
  if(!faceProgram || !spriteProgram || !batchProgram)
    return false;
  batchTransform = glGetUniformLocation(batchProgram, "transform");
  batchPixelOffset = glGetUniformLocation(batchProgram, "pixelOffset");
  batchStateColour = glGetUniformLocation(batchProgram, "stateColour");
  batchUseVertexColour = glGetUniformLocation(batchProgram, "useVertexColour");
  batchModulate = glGetUniformLocation(batchProgram, "modulate");
  batchFaceSize = glGetUniformLocation(batchProgram, "faceSize");
  batchLayerSize = glGetUniformLocation(batchProgram, "layerSize");
  batchLayersPerRow = glGetUniformLocation(batchProgram, "layersPerRow");
  glUseProgram(batchProgram);
  glUniform1i(glGetUniformLocation(batchProgram, "atlas"), 0);
  faceTransform = glGetUniformLocation(faceProgram, "transform");
  facePixelOffset = glGetUniformLocation(faceProgram, "pixelOffset");
  faceStateColour = glGetUniformLocation(faceProgram, "stateColour");
  faceUseVertexColour = glGetUniformLocation(faceProgram, "useVertexColour");
  faceModulate = glGetUniformLocation(faceProgram, "modulate");
  spriteTint = glGetUniformLocation(spriteProgram, "tint");
  glUseProgram(faceProgram);
  glUniform1i(glGetUniformLocation(faceProgram, "picture"), 0);
  glUseProgram(spriteProgram);
  glUniform1i(glGetUniformLocation(spriteProgram, "picture"), 0);

  faces = CreateStream(sizeof(Vertex), 4096);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void *>(offsetof(Vertex, x)));
  // The diffuse word 0xAARRGGBB is stored as bytes blue, green, red, alpha.
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                        reinterpret_cast<const void *>(offsetof(Vertex, diffuse)));
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void *>(offsetof(Vertex, u)));
  for(GLuint i = 0; i < 3; ++i)
    glEnableVertexAttribArray(i);

  sprites = CreateStream(sizeof(SpriteVertex), 1024);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex),
                        reinterpret_cast<const void *>(offsetof(SpriteVertex, x)));
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(SpriteVertex),
                        reinterpret_cast<const void *>(offsetof(SpriteVertex, u)));
  for(GLuint i = 0; i < 2; ++i)
    glEnableVertexAttribArray(i);

  faceSampler = MakeSampler(GL_NEAREST, GL_REPEAT);
  spriteSampler = MakeSampler(GL_NEAREST, GL_CLAMP_TO_EDGE);
  spriteSmoothSampler = MakeSampler(GL_LINEAR, GL_CLAMP_TO_EDGE);
  if(glGetError() != GL_NO_ERROR)
  {
    LogLine("cannot set up OpenGL drawing: the driver reported an error");
    return false;
  }
  return true;
}

GlStreamBuffer OpenGlBackend::CreateStream(int stride, int capacity)
{
  GlStreamBuffer stream = GlStreamBuffer::Create(stride, capacity);
  cache.vao = stream.vao;
  cache.arrayBuffer = stream.vbo;
  return stream;
}

GLuint OpenGlBackend::MakeSampler(GLint filter, GLint wrap)
{
  GLuint sampler = 0;
  glGenSamplers(1, &sampler);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter);
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap);
  return sampler;
}

void OpenGlBackend::DestroyObjects()
{
  backBuffer.Destroy();
  glDeleteProgram(faceProgram);
  glDeleteProgram(spriteProgram);
  glDeleteProgram(batchProgram);
  batchProgram = 0;
  for(GlStreamBuffer *stream : {&faces, &sprites})
    stream->Destroy();
  for(GLuint *sampler : {&faceSampler, &spriteSampler, &spriteSmoothSampler})
  {
    glDeleteSamplers(1, sampler);
    *sampler = 0;
  }
  faceProgram = 0;
  spriteProgram = 0;
}

void OpenGlBackend::ApplyFixedState()
{
  glBindFramebuffer(GL_FRAMEBUFFER, backBuffer.Framebuffer());
  glActiveTexture(GL_TEXTURE0);
  // Visible faces run clockwise on the screen; see GlStateCache::SetCull.
  glFrontFace(GL_CW);
  glDepthFunc(GL_LEQUAL);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DITHER);
  glEnable(GL_SCISSOR_TEST);
  // The back buffer has no alpha plane to speak of: it stays opaque.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  CheckBindings();
  cache.ForgetAllButBindings();
}

void OpenGlBackend::SetViewport(const Viewport &viewport)
{
  cache.SetViewport(viewport, height);
  if(cache.program == faceProgram)
    cache.UpdatePixelOffset(facePixelOffset);
}

GLuint OpenGlBackend::TextureName(const DeviceTexture *texture) const
{
  // Only textures made by this back end (in its current context) can be
  // bound; anything else samples as white rather than as a stray name.
  if(const auto *own = dynamic_cast<const GlTexture *>(texture))
    if(own->Owner() == shared.get() && own->Name() != 0)
      return own->Name();
  return white ? white->Name() : 0;
}
