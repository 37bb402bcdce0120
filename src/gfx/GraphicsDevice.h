#pragma once

#include "app/PointerList.h"
#include "gfx/DeviceListener.h"
#include "gfx/DeviceState.h"
#include "gfx/DeviceTexture.h"
#include "gfx/Matrix.h"
#include "gfx/RenderBackend.h"
#include "gfx/Sprite.h"
#include "gfx/Surface.h"
#include "gfx/Vertex.h"
#include "gfx/Viewport.h"

#include <cstdint>
#include <memory>

enum class TransformKind { World, View, Projection };

// What Present reports.
enum class PresentResult { Ok, DeviceLost };
// What TestCooperativeLevel reports about a device.
enum class CooperativeLevel { Ok, DeviceLost, DeviceNotReset };

// Settings of the back buffer, filled by Create and updated by Resize.
struct PresentationParameters {
  int backBufferWidth = 640;
  int backBufferHeight = 480;
  // Colour planes are 8 bits each; the depth buffer has 16 bits.
  int depthBits = 16;
  // The back buffer can be read and drawn on by the processor after a scene.
  bool lockableBackBuffer = true;
};

// The program's one rendering device. Transforms, the viewport and the render
// states live here on the processor's side, readable at any time, so that the
// software pick buffer and ray picking see exactly what the picture was drawn
// with. Drawing goes to a RenderBackend: OpenGL on a display, or memory in
// tests and tools (CreateHeadless).
//
// A device that has been lost (a real GL context reset, or the test hook
// SimulateDeviceLoss) fails Present until Reset succeeds; Reset tells every
// listener OnLostDevice before and OnResetDevice after, in registration order.
class GraphicsDevice {
public:
  GraphicsDevice();
  GraphicsDevice(const GraphicsDevice &) = delete;
  GraphicsDevice &operator=(const GraphicsDevice &) = delete;
  virtual ~GraphicsDevice();

  // Creates a device with no display: a width by height back buffer in memory
  // and textures that keep their texels; triangles and sprites are not drawn.
  bool CreateHeadless(int width = 640, int height = 480);
  // Creates the device on a given back end (the OpenGL one the application
  // makes for its window, the memory one above, or a test's), then the
  // default states and Resize.
  // False when `backend` is null.
  bool CreateWithBackend(std::unique_ptr<RenderBackend> backend);

  // The program's default render states, view, projection, material and light.
  virtual void SetupStates();
  // Matches the back buffer to the logical screen, resets, and installs the
  // perspective projection and the full-screen viewport. Always true.
  bool Resize();
  // The reset sequence with listener notification; false when it failed.
  bool Reset();
  // Releases everything; may run more than once.
  void Release();

  bool IsCreated() const { return backend != nullptr; }

  // Transforms, viewport and render states.
  void SetTransform(TransformKind kind, const Matrix &matrix);
  const Matrix &GetTransform(TransformKind kind) const;
  void SetViewport(const Viewport &viewport);
  const Viewport &GetViewport() const { return viewport; }
  DeviceState &State() { return state; }
  const DeviceState &State() const { return state; }
  // The texture of stage 0 for the next triangle draws; null for none.
  void SetTexture(const DeviceTexture *texture) { currentTexture = texture; }
  const DeviceTexture *GetTexture() const { return currentTexture; }

  // Clears the current viewport's rectangle of the colour and/or depth planes.
  void Clear(bool target, bool depth, uint32_t argb, float z);
  bool BeginScene();
  bool EndScene();
  // Draws a fan of `primitiveCount` triangles with the current state and texture.
  void DrawTriangleFan(const Vertex *vertices, int primitiveCount);
  // Draws one screen-aligned textured quad (what Sprite uses).
  void DrawSpriteQuad(const DeviceTexture &texture, const SpriteQuad &quad);

  // Shows the back buffer, scaled to the window.
  PresentResult Present();
  CooperativeLevel TestCooperativeLevel() const;
  // Presents, and when the device turns out lost but resettable, resets it and
  // then resizes (which resets a second time and restores the projection and
  // the full-screen viewport). A device that cannot be reset yet is tried
  // again after the next frame's present.
  void PresentFrame();

  // A texture of width by height texels from `argb` (row 0 first) or zeros.
  std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint32_t *argb = nullptr);
  // A sprite drawer; null when the device has not been created.
  std::unique_ptr<Sprite> CreateSprite();

  // The back buffer; null until created and while a reset has dropped it.
  Surface *BackBuffer() const { return backBuffer.get(); }
  PointerList<DeviceListener> &Listeners() { return listeners; }
  const PresentationParameters &Presentation() const { return presentation; }

  // Test hook: the next Present reports the device lost. The next
  // `failingResets` resets then fail with `error`.
  void SimulateDeviceLoss(int failingResets = 0, ResetError error = ResetError::DeviceLost);

private:
  void RefreshBackBuffer();
  FaceDrawState MakeFaceDrawState() const;

private:
  std::unique_ptr<RenderBackend> backend;
  std::unique_ptr<Surface> backBuffer;
  PresentationParameters presentation;
  PointerList<DeviceListener> listeners;

  Matrix world = Matrix::Identity();
  Matrix view = Matrix::Identity();
  Matrix projection = Matrix::Identity();
  Viewport viewport;
  DeviceState state;
  const DeviceTexture *currentTexture = nullptr;
  bool inScene = false;

  bool simulatedLoss = false;
  int simulatedResetFailures = 0;
  ResetError simulatedResetError = ResetError::DeviceLost;
};
