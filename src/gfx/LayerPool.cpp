#include "gfx/LayerPool.h"

#include <algorithm>

namespace {
  bool IsPowerOfTwo(int n)
  {
    return n > 0 && (n & (n - 1)) == 0;
  }
}

LayerPool::LayerPool(int logicalSize, int kept)
  : logicalSize(logicalSize), kept(kept)
{
  // The smallest power of two that holds the kept texels and the last one,
  // dividing the face by a power of two.
  if(!IsPowerOfTwo(logicalSize) || kept <= 0)
    return;
  int size = 1;
  while(size < kept + 1)
    size *= 2;
  if(size >= logicalSize)
    size = logicalSize;
  if(size > AtlasWidth)
    return;
  layerSize = size;
}

int LayerPool::Allocate()
{
  if(!IsValid())
    return -1;
  if(!freeLayers.empty())
  {
    const int layer = freeLayers.back();
    freeLayers.pop_back();
    return layer;
  }
  const int layer = capacity++;
  if(capacity > rows * LayersPerRow())
  {
    ++rows;
    texels.resize(static_cast<size_t>(rows) * layerSize * AtlasWidth, 0xFFFFFFFFu);
  }
  return layer;
}

void LayerPool::Release(int layer)
{
  if(layer >= 0 && layer < capacity)
    freeLayers.push_back(layer);
}

int LayerPool::LayerIndexOf(int c) const
{
  if(c < 0 || c >= logicalSize)
    return -1;
  if(c < kept && c < layerSize - 1)
    return c;
  if(c == logicalSize - 1)
    return layerSize - 1;
  // Only a face as small as its layer keeps everything.
  if(layerSize == logicalSize)
    return c;
  return -1;
}

void LayerPool::MarkChanged(int layer)
{
  ++revision;
  const int first = layer / LayersPerRow() * layerSize;
  const int end = first + layerSize;
  if(changedEnd <= changedFirst)
  {
    changedFirst = first;
    changedEnd = end;
    return;
  }
  changedFirst = std::min(changedFirst, first);
  changedEnd = std::max(changedEnd, end);
}

bool LayerPool::TakeChanges(int &firstRow, int &endRow)
{
  firstRow = changedFirst;
  endRow = changedEnd;
  changedFirst = changedEnd = 0;
  return endRow > firstRow;
}
