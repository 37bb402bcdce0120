#pragma once

#include "gfx/BackendData.h"
#include "gfx/BatchVertex.h"

#include <cstdint>
#include <memory>
#include <vector>

class LayerPool;

// Quads drawn in order, each as a two-triangle fan (c0, c1, c2), (c0, c2, c3)
// exactly as a fan of its own would be, and each textured with its layer of
// one LayerPool: the back end draws the whole batch with one texture and one
// call. Quads are inserted and erased in place, so that a change touches only
// what it changes; the back end uploads only the quads from the first changed
// one on.
class FaceBatch {
public:
  static constexpr int QuadVertices = 4;

  explicit FaceBatch(std::shared_ptr<LayerPool> pool);
  FaceBatch(const FaceBatch &) = delete;
  FaceBatch &operator=(const FaceBatch &) = delete;

  LayerPool &Pool() const { return *pool; }

  int QuadCount() const { return static_cast<int>(vertices.size()) / QuadVertices; }
  const BatchVertex *Vertices() const { return vertices.data(); }

  // Inserts `quadCount` quads (four vertices each, corners c0 to c3) before
  // quad `at` (clamped to the end).
  void Insert(int at, const BatchVertex *quadVertices, int quadCount);
  // Erases `quadCount` quads from quad `at` on (what lies outside is ignored).
  void Erase(int at, int quadCount);
  void Clear();
  // Room for this many quads without reallocating.
  void Reserve(int quadCount);

  uint64_t Revision() const { return revision; }
  uint64_t Identity() const { return identity; }
  void SetIdentity(uint64_t value) { identity = value; }

  // For the back end: the first quad changed since the last call (QuadCount()
  // when nothing changed).
  int TakeChangedFrom();

  // The back end's copy of the vertices.
  std::unique_ptr<BackendData> backendData;

private:
  void Changed(int fromQuad);

private:
  std::shared_ptr<LayerPool> pool;
  std::vector<BatchVertex> vertices;
  int changedFrom = 0;
  uint64_t revision = 0;
  uint64_t identity = 0;
};
