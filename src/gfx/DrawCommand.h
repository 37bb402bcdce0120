#pragma once

#include "gfx/RenderBackend.h"

#include <cstdint>

// One drawing operation of a frame as the device records it, with what it
// draws named by identity and revision, so that two frames can be compared
// without looking at a pixel: equal records draw equal pictures.
struct DrawCommand {
  enum class Kind { Clear, Fan, Sprite, Batch };

  Kind kind = Kind::Clear;

  // Clear.
  Viewport viewport;
  bool target = false;
  bool depth = false;
  uint32_t argb = 0;
  float z = 0.f;

  // Fan and Batch.
  FaceDrawState state;
  // Fan: its vertices in the frame record.
  int firstVertex = 0;
  int primitiveCount = 0;

  // Sprite.
  SpriteQuad quad;

  // Fan and Sprite: the texture (null for none); Batch: the batch.
  const DeviceTexture *texture = nullptr;
  FaceBatch *batch = nullptr;
  // What was drawn from: identity and revision of the texture or of the
  // batch, and of the batch's layer pool.
  uint64_t identity = 0;
  uint64_t revision = 0;
  uint64_t poolIdentity = 0;
  uint64_t poolRevision = 0;

  // Pointers are not compared: an identity names an object for its lifetime.
  bool operator==(const DrawCommand &o) const
  {
    return kind == o.kind && viewport == o.viewport && target == o.target && depth == o.depth && argb == o.argb &&
           z == o.z && state == o.state && firstVertex == o.firstVertex && primitiveCount == o.primitiveCount &&
           quad == o.quad && identity == o.identity && revision == o.revision && poolIdentity == o.poolIdentity &&
           poolRevision == o.poolRevision;
  }
};
