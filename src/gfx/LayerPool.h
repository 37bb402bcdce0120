#pragma once

#include "gfx/BackendData.h"

#include <cstdint>
#include <memory>
#include <vector>

// The face textures of one size, of which only a corner is ever sampled, kept
// together as equal square layers (tiles of one atlas image, AtlasWidth texels
// wide and as tall as the layers need), so that the back end can hold them in
// one texture and draw any number of faces with one texture and one call.
//
// A face of `logicalSize` texels a side whose texture coordinates stay within
// the first `kept` texels is stored as a layer of LayerSize() texels: layer
// texel (c, r) holds face texel (c, r) for c, r below `kept`, and the face's
// last column and row go to the layer's last column and row (a coordinate a
// hair below 0 wraps there). The back end picks a face's texel exactly as
// sampling the whole face would (nearest texel of floor(u * size), wrapped)
// and fetches it from the layer.
class LayerPool {
public:
  static constexpr int AtlasWidth = 2048;

  // False (from IsValid) when no such layer size exists.
  LayerPool(int logicalSize, int kept);
  LayerPool(const LayerPool &) = delete;
  LayerPool &operator=(const LayerPool &) = delete;

  bool IsValid() const { return layerSize > 0; }
  int LogicalSize() const { return logicalSize; }
  int Kept() const { return kept; }
  int LayerSize() const { return layerSize; }
  // Layers side by side in a row of the atlas, and texels from one atlas row
  // to the next.
  int LayersPerRow() const { return layerSize > 0 ? AtlasWidth / layerSize : 0; }
  int Pitch() const { return AtlasWidth; }
  // Texel rows of the atlas.
  int AtlasHeight() const { return rows * layerSize; }

  // A free layer (reusing released ones first); its texels are undefined.
  int Allocate();
  void Release(int layer);
  // Layers in memory, free ones included.
  int Capacity() const { return capacity; }
  int LiveLayers() const { return capacity - static_cast<int>(freeLayers.size()); }

  // The layer's top-left texel (words 0xAARRGGBB, rows Pitch() apart).
  uint32_t *Texels(int layer) { return texels.data() + Offset(layer); }
  const uint32_t *Texels(int layer) const { return texels.data() + Offset(layer); }
  // The whole atlas, row 0 first.
  const uint32_t *Atlas() const { return texels.data(); }
  // Where face column (or row) `c` lives in a layer; -1 when it is not kept.
  int LayerIndexOf(int c) const;

  // Records that the layer's texels changed.
  void MarkChanged(int layer);
  uint64_t Revision() const { return revision; }
  uint64_t Identity() const { return identity; }
  void SetIdentity(uint64_t value) { identity = value; }

  // For the back end: the atlas rows [first, end) changed since the last call
  // (false when none).
  bool TakeChanges(int &firstRow, int &endRow);

  // The back end's copy of the layers.
  std::unique_ptr<BackendData> backendData;

private:
  size_t Offset(int layer) const
  {
    const int perRow = LayersPerRow();
    return static_cast<size_t>(layer / perRow) * layerSize * AtlasWidth +
           static_cast<size_t>(layer % perRow) * layerSize;
  }

private:
  int logicalSize = 0;
  int kept = 0;
  int layerSize = 0;
  int capacity = 0;
  // Rows of layers the atlas has room for.
  int rows = 0;
  std::vector<uint32_t> texels;
  std::vector<int> freeLayers;
  int changedFirst = 0;
  int changedEnd = 0;
  uint64_t revision = 0;
  uint64_t identity = 0;
};
