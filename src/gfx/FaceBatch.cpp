#include "gfx/FaceBatch.h"

#include <algorithm>

FaceBatch::FaceBatch(std::shared_ptr<LayerPool> layerPool)
  : pool(std::move(layerPool))
{
}

void FaceBatch::Changed(int fromQuad)
{
  ++revision;
  changedFrom = std::min(changedFrom, fromQuad);
}

void FaceBatch::Insert(int at, const BatchVertex *quadVertices, int quadCount)
{
  if(!quadVertices || quadCount <= 0)
    return;
  at = std::clamp(at, 0, QuadCount());
  vertices.insert(vertices.begin() + static_cast<std::ptrdiff_t>(at) * QuadVertices, quadVertices,
                  quadVertices + static_cast<std::ptrdiff_t>(quadCount) * QuadVertices);
  Changed(at);
}

void FaceBatch::Erase(int at, int quadCount)
{
  const int first = std::clamp(at, 0, QuadCount());
  const int end = std::clamp(at + std::max(quadCount, 0), first, QuadCount());
  if(end == first)
    return;
  vertices.erase(vertices.begin() + static_cast<std::ptrdiff_t>(first) * QuadVertices,
                 vertices.begin() + static_cast<std::ptrdiff_t>(end) * QuadVertices);
  Changed(first);
}

void FaceBatch::Clear()
{
  if(vertices.empty())
    return;
  vertices.clear();
  Changed(0);
}

void FaceBatch::Reserve(int quadCount)
{
  if(quadCount > 0)
    vertices.reserve(static_cast<size_t>(quadCount) * QuadVertices);
}

int FaceBatch::TakeChangedFrom()
{
  const int from = std::min(changedFrom, QuadCount());
  changedFrom = QuadCount();
  return from;
}
