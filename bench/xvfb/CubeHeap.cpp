#include "CubeHeap.h"

#include "model/CubeMesh.h"
#include "model/PaletteColour.h"
#include "model/VoxelModel.h"
#include "res/Texture.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {
  // Stripe rows on a 64 by 64 face.
  constexpr int StripeTop = 24;
  constexpr int StripeRows = 16;

  // Cubes along each side of layer `layer`: two layers per size, narrowing upwards.
  int LayerSide(int layer)
  {
    return std::max(CubeHeap::TopSide, CubeHeap::BaseSide - layer / 2);
  }

  // A small offset (-5 to 5) from the index, so the heap is not a perfect grid.
  float Jitter(int index, uint32_t salt)
  {
    uint32_t value = static_cast<uint32_t>(index) * 2654435761u + salt;
    value ^= value >> 15;
    value *= 2246822519u;
    value ^= value >> 13;
    return static_cast<float>(static_cast<int>(value % 11u) - 5);
  }
}

Vector3 CubeHeap::Centre(int index)
{
  // A heap holds the layers up to the ceiling; cubes beyond start another one
  // from the floor, shifted so that no two cubes share a centre.
  int capacity = 0;
  for(int layer = 0; layer < Layers; ++layer)
    capacity += LayerSide(layer) * LayerSide(layer);
  const int round = index / capacity;
  const float shift = static_cast<float>(round % 5) * Pitch / 5.f;
  int layer = 0;
  int first = 0;
  const int local = index % capacity;
  while(local >= first + LayerSide(layer) * LayerSide(layer))
  {
    first += LayerSide(layer) * LayerSide(layer);
    ++layer;
  }
  const int side = LayerSide(layer);
  const int place = local - first;
  const float half = static_cast<float>(side - 1) * Pitch / 2.f;
  return Vector3(static_cast<float>(place % side) * Pitch - half + Jitter(index, 1u) + shift,
                 FloorCentre + static_cast<float>(layer) * Rise + static_cast<float>(round % 3),
                 static_cast<float>(place / side) * Pitch - half + Jitter(index, 2u) + shift);
}

int CubeHeap::ColourIndex(int index)
{
  return index % PaletteColourCount;
}

bool CubeHeap::Build(VoxelModel &model, GraphicsDevice &device, int count)
{
  for(int i = 0; i < count; ++i)
  {
    // Built and appended directly: AddCube would refresh the pick buffer for
    // every cube, which makes a heap of thousands take many seconds.
    auto cube = std::make_unique<CubeMesh>();
    if(!cube->Build(device, Centre(i), model.HalfSize(), PaletteRgb(static_cast<PaletteColour>(ColourIndex(i)))))
      return false;
    // The stripe: four colours on from the cube's own, across face i % 6.
    Texture *texture = cube->FaceTexture(i % CubeMesh::FaceCount);
    DibImage *image = texture ? texture->Backing() : nullptr;
    if(!image || !image->Data() || image->Height() < StripeTop + StripeRows)
      return false;
    const RgbColour stripe = PaletteRgb(static_cast<PaletteColour>((ColourIndex(i) + 4) % PaletteColourCount));
    for(int y = StripeTop; y < StripeTop + StripeRows; ++y)
      for(int x = 0; x < image->Width(); ++x)
      {
        uint8_t *texel = image->Data() + (static_cast<size_t>(y) * image->Width() + x) * 3;
        texel[0] = stripe.red;
        texel[1] = stripe.green;
        texel[2] = stripe.blue;
      }
    if(!texture->Upload(device, 0, StripeTop, image->Width(), StripeRows))
      return false;
    model.Add(cube.release());
  }
  model.RefreshPickBuffer(device);
  return true;
}
