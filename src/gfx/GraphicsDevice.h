#pragma once

#include "base/LogGate.h"
#include "base/PointerList.h"
#include "gfx/DeviceListener.h"
#include "gfx/DeviceState.h"
#include "gfx/DeviceTexture.h"
#include "gfx/FaceBatch.h"
#include "gfx/FrameRecord.h"
#include "gfx/LayerPool.h"
#include "gfx/Matrix.h"
#include "gfx/RenderBackend.h"
#include "gfx/Sprite.h"
#include "gfx/Surface.h"
#include "gfx/Vertex.h"
#include "gfx/Viewport.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

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
// Drawing is recorded, not carried out at once: PresentFrame compares the
// frame's record with the one of the frame the window shows and, when they
// draw the same (the same operations, states, vertices, and textures at the
// same revisions), neither draws nor presents. A frame is drawn in layers
// (MarkLayer): the back buffer is copied aside where each layer starts, and
// when everything below a layer is unchanged (only the cursor moved, or only
// the model turned), it is put back from that copy and only what changed is
// drawn again. Reading the back buffer (its lock or its drawing context)
// first carries out what is recorded.
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
  // Draws one screen-aligned textured quad (what Sprite uses), clipped to
  // the current viewport.
  void DrawSpriteQuad(const DeviceTexture &texture, const SpriteQuad &quad);
  // Draws every quad of the batch with the current state, as DrawTriangleFan
  // would draw each of them with its own texture.
  void DrawFaceBatch(FaceBatch &batch);
  // What is drawn from now on is a layer over what was drawn before it in
  // this frame, and changes more often (the model over the palette, the
  // cursor over both).
  void MarkLayer();

  // Shows the back buffer, scaled to the window: all of it.
  PresentResult Present();
  CooperativeLevel TestCooperativeLevel() const;
  // Ends the frame: draws what was recorded and presents it, unless it draws
  // exactly what the window shows already (then nothing is presented, and
  // false is returned; nothing is drawn either, except once after a frame
  // that left its layer copies for later, to make them). When the device
  // turns out lost but resettable, resets it and then resizes (which resets a
  // second time and restores the projection and the full-screen viewport). A
  // device that cannot be reset yet is tried again after the next frame's
  // present.
  bool PresentFrame();
  // The window needs the picture again (it was exposed or resized): the next
  // PresentFrame presents even when nothing changed.
  void RequestPresent() { presentRequested = true; }
  // Carries out what has been recorded so far (reading the back buffer does).
  void ExecutePending();
  // Carries out what has been recorded so far and starts the renderer on it
  // without waiting, so that it draws while the caller works on. The frame is
  // then drawn and presented whatever it holds.
  void Submit();
  // Frames presented and frames that rested since the device was created.
  int PresentedFrames() const { return presentedFrames; }
  int RestedFrames() const { return restedFrames; }

  // A texture of width by height texels from `argb` (row 0 first) or zeros.
  std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint32_t *argb = nullptr);
  // A size by size face texture of which only the first `kept` columns and
  // rows (and the last ones) are ever sampled: a layer of the device's pool
  // for faces of that kind. Its texels start undefined. Null when the device
  // has not been created or no such pool can be made.
  std::unique_ptr<DeviceTexture> CreateLayerTexture(int size, int kept);
  // An empty batch of faces whose textures come from CreateLayerTexture with
  // the same size and kept texels.
  std::unique_ptr<FaceBatch> CreateFaceBatch(int size, int kept);
  // A sprite drawer; null when the device has not been created.
  std::unique_ptr<Sprite> CreateSprite();

  // The back buffer; null until created and while a reset has dropped it.
  Surface *BackBuffer() const { return backBuffer.get(); }
  PointerList<DeviceListener> &Listeners() { return listeners; }
  const PresentationParameters &Presentation() const { return presentation; }

  // Test hook: the next Present reports the device lost. The next
  // `failingResets` resets then fail with `error`.
  void SimulateDeviceLoss(int failingResets = 0, ResetError error = ResetError::DeviceLost);

  // For the back buffer: the processor drew on it (a frame that does so is
  // always presented, and the next one too).
  void NoteProcessorDrawing() { processorDrawn = true; }

private:
  void RefreshBackBuffer();
  FaceDrawState MakeFaceDrawState() const;
  std::shared_ptr<LayerPool> PoolFor(int size, int kept);
  // Carries out the recorded commands up to (not including) `end`.
  void Execute(int end);
  void Run(const DrawCommand &command);
  void ForgetShownFrame();
  // The frame's first drawing: puts back the highest layer copy that serves.
  void StartFrame();
  // The whole back buffer.
  PixelRect Whole() const;
  // Shows the back buffer, of which only `changed` may differ from the
  // picture presented last.
  PresentResult PresentChanged(const PixelRect &changed);

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

  // The frame being recorded, how much of it has been carried out, and the
  // record of the frame the window shows.
  FrameRecord frame;
  int executed = 0;
  // The frame's drawing has begun (a copy may have been put back), the next
  // layer mark to reach, whether copies are made, which were, and whether
  // the frame drawn last (once presented, the shown one) left any for the
  // first frame that rests.
  bool frameStarted = false;
  int nextMark = 0;
  bool copying = false;
  std::vector<bool> frameCopies;
  bool copiesDeferred = false;
  // The layer mark whose copy the frame started from; -1 when it was drawn
  // from the start.
  int restoredMark = -1;
  FrameRecord shown;
  bool shownValid = false;
  // For each layer mark of the shown frame: the back end holds a copy of the
  // back buffer as it was there.
  std::vector<bool> layerCopies;
  bool processorDrawn = false;
  bool presentRequested = false;
  int presentedFrames = 0;
  int restedFrames = 0;
  uint64_t nextIdentity = 1;
  std::map<std::pair<int, int>, std::shared_ptr<LayerPool>> pools;

  bool simulatedLoss = false;
  int simulatedResetFailures = 0;
  ResetError simulatedResetError = ResetError::DeviceLost;
  // A reset that keeps failing is tried in every frame.
  LogGate resetLog;
};
