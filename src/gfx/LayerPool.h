#pragma once

#include "gfx/BackendData.h"

#include <cstdint>
#include <memory>
#include <vector>

// The face textures of one size, of which only a corner is ever sampled, kept
// together as equal square layers so that the back end can hold them in one
// array texture and draw any number of faces with one texture and one call.
//
// A face of `logicalSize` texels a side whose texture coordinates stay within
// the first `kept` texels is stored as a layer of LayerSize() texels: layer
// texel (c, r) holds face texel (c, r) for c, r below `kept`, and the face's
// last column and row go to the layer's last column and row (a coordinate a
// hair below 0 wraps there). The layer is smaller than the face by Scale(), a
// power of two, so that sampling the layer at (u, v) * Scale() picks exactly
// the texel that sampling the whole face at (u, v) would.
class LayerPool {
public:
  // False (from IsValid) when no such layer size exists.
  LayerPool(int logicalSize, int kept);
  LayerPool(const LayerPool &) = delete;
  LayerPool &operator=(const LayerPool &) = delete;

  bool IsValid() const { return layerSize > 0; }
  int LogicalSize() const { return logicalSize; }
  int Kept() const { return kept; }
  int LayerSize() const { return layerSize; }
  int Scale() const { return layerSize > 0 ? logicalSize / layerSize : 0; }

  // A free layer (reusing released ones first); its texels are undefined.
  int Allocate();
  void Release(int layer);
  // Layers in memory, free ones included.
  int Capacity() const { return capacity; }
  int LiveLayers() const { return capacity - static_cast<int>(freeLayers.size()); }

  // The layer's texels, LayerSize() squared words 0xAARRGGBB, row 0 first.
  uint32_t *Texels(int layer) { return texels.data() + static_cast<size_t>(layer) * LayerTexels(); }
  const uint32_t *Texels(int layer) const { return texels.data() + static_cast<size_t>(layer) * LayerTexels(); }
  size_t LayerTexels() const { return static_cast<size_t>(layerSize) * layerSize; }
  // Where face column (or row) `c` lives in a layer; -1 when it is not kept.
  int LayerIndexOf(int c) const;

  // Records that the layer's texels changed.
  void MarkChanged(int layer);
  uint64_t Revision() const { return revision; }
  uint64_t Identity() const { return identity; }
  void SetIdentity(uint64_t value) { identity = value; }

  // For the back end: the range of layers [first, end) changed since the last
  // call (false when none), and whether the capacity grew meanwhile.
  bool TakeChanges(int &first, int &end, bool &grew);

  // The back end's copy of the layers.
  std::unique_ptr<BackendData> backendData;

private:
  int logicalSize = 0;
  int kept = 0;
  int layerSize = 0;
  int capacity = 0;
  std::vector<uint32_t> texels;
  std::vector<int> freeLayers;
  int changedFirst = 0;
  int changedEnd = 0;
  bool grown = false;
  uint64_t revision = 0;
  uint64_t identity = 0;
};
