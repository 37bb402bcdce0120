#pragma once

#include "gfx/Vector3.h"

class GraphicsDevice;
class VoxelModel;

// A heap of overlapping cubes in the middle of the room's floor, for
// measurements that need a model of a given size: square layers that narrow
// upwards, every nine neighbours in the nine palette colours, and a stripe of
// another colour painted across one face of every cube. The layout depends on
// the cube's index alone, so the same count always gives the same model; past
// the ceiling a new heap starts from the floor, shifted a little.
class CubeHeap {
public:
  // Cubes a layer holds along each side at the floor and at most, and the
  // distances between neighbouring centres (less than a cube, so they overlap).
  static constexpr int BaseSide = 12;
  static constexpr int TopSide = 7;
  static constexpr float Pitch = 24.f;
  static constexpr float Rise = 12.f;
  // Layers between the floor and the ceiling (the room spans -320 to 320).
  static constexpr int Layers = 50;
  // The room's floor for cubes of half-size 20: their centres rest at this height.
  static constexpr float FloorCentre = -300.f;

  // The centre of cube `index` of a heap.
  static Vector3 Centre(int index);
  // The palette colour (0 to 8) of cube `index`.
  static int ColourIndex(int index);

  // Adds `count` cubes to the model (after its room), paints their stripes
  // and refreshes the pick buffer once. False when a cube cannot be built.
  static bool Build(VoxelModel &model, GraphicsDevice &device, int count);
};
