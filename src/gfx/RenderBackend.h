#pragma once

#include "gfx/DeviceState.h"
#include "gfx/DeviceTexture.h"
#include "gfx/FaceBatch.h"
#include "gfx/Matrix.h"
#include "gfx/PixelRect.h"
#include "gfx/PresentGate.h"
#include "gfx/Vertex.h"
#include "gfx/Viewport.h"

#include <cstdint>
#include <memory>

// Everything a draw of textured triangles needs, worked out by the device from
// its CPU-side state.
struct FaceDrawState {
  // World times view times projection; clip depth 0..1 as the device defines it.
  Matrix transform;
  Viewport viewport;
  CullMode cullMode = CullMode::CounterClockwise;
  bool depthTest = true;
  bool depthWrite = true;
  bool alphaBlend = false;
  // When true each vertex's diffuse word colours it; otherwise `colour` does.
  bool useVertexColour = false;
  ColourValue colour{1.f, 1.f, 1.f, 1.f};
  // Modulate the texture by the colour (true) or show the texture alone.
  bool modulate = true;

  bool operator==(const FaceDrawState &) const = default;
};

// How a sprite's pixels combine with the back buffer.
enum class SpriteBlend {
  // texel x colour, alpha-blended over what is there
  Alpha,
  // each colour byte ANDed with what is there (a cursor's mask)
  And,
  // each colour byte ORed with what is there (a cursor's picture)
  Or,
};

// One screen-aligned textured quad, in back-buffer pixels (y down).
struct SpriteQuad {
  float left = 0.f;
  float top = 0.f;
  float right = 0.f;
  float bottom = 0.f;
  // Texture coordinates of the top-left and bottom-right corners, 0..1.
  float u0 = 0.f;
  float v0 = 0.f;
  float u1 = 1.f;
  float v1 = 1.f;
  // Each texel is multiplied by this 0xAARRGGBB colour, then alpha-blended.
  uint32_t colour = 0xFFFFFFFF;
  // Smooth sampling for stretched pictures; one texel per pixel otherwise.
  bool smooth = false;
  // Drawing is clipped to this rectangle.
  Viewport viewport;
  SpriteBlend blend = SpriteBlend::Alpha;

  bool operator==(const SpriteQuad &) const = default;
};

// Why a reset of the back end failed.
enum class ResetError { None, DeviceLost, DriverInternalError, InvalidCall, OutOfVideoMemory, OutOfMemory, Other };

// The machine underneath the graphics device: an OpenGL context with an
// offscreen back buffer on a display, or plain memory in tests and tools.
// The back buffer is width by height pixels and keeps its content between
// frames until something draws over it.
class RenderBackend {
public:
  virtual ~RenderBackend() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // A texture of width by height texels, filled from `argb` (row 0 first)
  // or with zeros when it is null; null when it cannot be made.
  virtual std::unique_ptr<DeviceTexture> CreateTexture(int width, int height, const uint32_t *argb) = 0;

  // Clears the viewport's rectangle of the colour and/or depth planes.
  virtual void Clear(const Viewport &viewport, bool target, bool depth, uint32_t argb, float z) = 0;
  // Draws a triangle fan of `primitiveCount` triangles; a null texture samples as white.
  virtual void DrawTriangleFan(const Vertex *vertices, int primitiveCount, const DeviceTexture *texture,
                               const FaceDrawState &state) = 0;
  virtual void DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad) = 0;
  // Draws every quad of the batch in order, each as a fan of two triangles,
  // textured with its layer of the batch's pool exactly as the whole face
  // texture would be sampled (nearest texel, repeating).
  virtual void DrawFaceBatch(FaceBatch &batch, const FaceDrawState &state) = 0;

  // Keeps a copy of the back buffer (colour and depth) in slot `slot` (0 and
  // up), and puts it back: the device redraws only the layers of a frame that
  // changed. False when there is no copy to be had.
  virtual bool SaveCopy(int slot) = 0;
  virtual bool RestoreCopy(int slot) = 0;

  // Copies the back buffer into `pixels` as 0xFFRRGGBB words, row 0 at the top.
  virtual void ReadBackBuffer(uint32_t *pixels) = 0;
  // Replaces the back buffer's colour with `pixels` (same layout).
  virtual void WriteBackBuffer(const uint32_t *pixels) = 0;

  // Shows the back buffer; false when the device has been lost. It does not
  // wait for the display: the application's loop paces the frames.
  // `changed` holds every back buffer pixel that may differ from the
  // picture presented before (the whole back buffer when that is not known);
  // a back end may show only that part again, where the window keeps the rest.
  virtual bool Present(const PixelRect &changed) = 0;
  // Starts the renderer on what has been drawn so far without waiting for
  // it, where the renderer works beside the caller. The default does nothing.
  virtual void Submit() {}
  // Where the back end shows pictures the moment they are done (nothing
  // waits for the display's refresh), it asks `gate` (which must outlive
  // it, or be replaced by null first) before showing each one. The default
  // shows at once and ignores the gate.
  virtual void SetPresentGate(PresentGate *gate) { (void)gate; }
  // True once the device has been lost and until a reset succeeds.
  virtual bool IsLost() const = 0;
  // Whether a lost device can be reset now.
  virtual bool CanReset() const = 0;
  // Brings a lost (or healthy) device back: a new back buffer, content undefined.
  virtual ResetError Reset() = 0;
};
