#pragma once

#include "gfx/RenderBackend.h"
#include "platform/GlBackBuffer.h"
#include "platform/GlContext.h"
#include "platform/GlShared.h"
#include "platform/GlStateCache.h"
#include "platform/GlStreamBuffer.h"
#include "platform/GlTexture.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <memory>

class NativeWindow;

// The RenderBackend on OpenGL 3.3 core (see GlBackend.h for its conventions):
// the context, the two programs with their vertex streams and samplers, the
// textures and the back buffer, drawn with as few state changes as the state
// cache allows.
class OpenGlBackend : public RenderBackend {
public:
  OpenGlBackend(NativeWindow &window, int width, int height);
  OpenGlBackend(const OpenGlBackend &) = delete;
  OpenGlBackend &operator=(const OpenGlBackend &) = delete;
  ~OpenGlBackend() override;

  // Makes the context and everything drawing needs; false with a line on
  // standard error when that is not possible.
  bool Initialise();

  int Width() const override { return width; }
  int Height() const override { return height; }

  std::unique_ptr<DeviceTexture> CreateTexture(int textureWidth, int textureHeight, const uint32_t *argb) override;
  void Clear(const Viewport &viewport, bool target, bool depth, uint32_t argb, float z) override;
  void DrawTriangleFan(const Vertex *vertices, int primitiveCount, const DeviceTexture *texture,
                       const FaceDrawState &state) override;
  void DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad) override;
  void DrawFaceBatch(FaceBatch &batch, const FaceDrawState &state) override;
  bool SaveCopy(int slot) override;
  bool RestoreCopy(int slot) override;
  void ReadBackBuffer(uint32_t *pixels) override;
  void WriteBackBuffer(const uint32_t *pixels) override;
  bool Present(const PixelRect &changed) override;
  void Submit() override;
  void SetPresentGate(PresentGate *gate) override { backBuffer.SetPresentGate(gate); }
  bool IsLost() const override { return context.IsLost(); }
  bool CanReset() const override { return context.CanReset(); }
  ResetError Reset() override;

  // How presents reach the window (tests capture them there).
  GlPresenter &Presenter() { return backBuffer.Presenter(); }

private:
  static constexpr uint32_t WhiteTexel = 0xFFFFFFFFu;

  // GL may be used for drawing: the context is healthy and current.
  bool Ready() const { return !context.IsLost() && shared->Usable(); }

  // A new context after the driver reset the old one; textures come back from
  // their copies in memory.
  bool RecreateContext();
  bool CreateObjects();
  GlStreamBuffer CreateStream(int stride, int capacity);
  static GLuint MakeSampler(GLint filter, GLint wrap);
  void DestroyObjects();
  // The state every draw relies on and none changes.
  void ApplyFixedState();
  // The viewport through the state cache, and the face program's pixel offset
  // for it when that program is in use.
  void SetViewport(const Viewport &viewport);
  GLuint TextureName(const DeviceTexture *texture) const;
  // Forgets the recorded vertex array and buffer bindings when one of them
  // may have been deleted behind the cache's back.
  void CheckBindings();

private:
  NativeWindow &window;
  std::shared_ptr<GlShared> shared;
  int width = 0;
  int height = 0;
  GlContext context;
  int maxTextureSize = 0;

  GLuint faceProgram = 0;
  GLint faceTransform = -1;
  GLint facePixelOffset = -1;
  GLint faceStateColour = -1;
  GLint faceUseVertexColour = -1;
  GLint faceModulate = -1;
  GLuint batchProgram = 0;
  GLint batchTransform = -1;
  GLint batchPixelOffset = -1;
  GLint batchStateColour = -1;
  GLint batchUseVertexColour = -1;
  GLint batchModulate = -1;
  GLint batchFaceSize = -1;
  GLint batchLayerSize = -1;
  GLint batchLayersPerRow = -1;
  GLuint spriteProgram = 0;
  GLint spriteTint = -1;
  GlStreamBuffer faces;
  GlStreamBuffer sprites;
  GLuint faceSampler = 0;
  GLuint spriteSampler = 0;
  GLuint spriteSmoothSampler = 0;
  std::unique_ptr<GlTexture> white;

  GlBackBuffer backBuffer;
  GlStateCache cache;
};
