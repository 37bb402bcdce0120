#pragma once

// A model for the export tests: the room with painted walls and four cubes
// (three of them overlapping) with painted faces. Some painted texels are
// shown (among them the last, 0.4-wide row and column of a face) and some are
// not, so that an export that takes too few or too many texels is caught.

#include "gfx/GraphicsDevice.h"
#include "model/VoxelModel.h"
#include "res/Texture.h"

#include <string>
#include <vector>

namespace SampleModel {
  struct Paint {
    int mesh;
    int face;
    int column;
    int row;
    RgbColour colour;
  };

  // Cube centres, in the model's order after the room.
  inline const std::vector<Vector3> &Centres()
  {
    static const std::vector<Vector3> centres = {
      {0.f, -300.f, 0.f}, {20.f, -300.f, 10.f}, {10.f, -260.f, 5.f}, {-100.f, -300.f, 60.f}};
    return centres;
  }

  inline const std::vector<RgbColour> &Colours()
  {
    static const std::vector<RgbColour> colours = {
      {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    return colours;
  }

  inline const std::vector<Paint> &Paints()
  {
    static const std::vector<Paint> paints = {
      // The room's floor (face 5) and back wall (face 0).
      {0, 5, 0, 0, {255, 0, 0}},
      {0, 5, 102, 102, {0, 0, 255}},
      {0, 5, 103, 40, {0, 255, 0}},
      {0, 5, 1023, 1023, {0, 0, 0}},
      {0, 0, 10, 20, {255, 255, 0}},
      {0, 2, 55, 101, {255, 0, 255}},
      // The first cube's top, and faces of the others.
      {1, 4, 3, 3, {0, 0, 0}},
      {1, 4, 6, 6, {255, 0, 255}},
      {1, 4, 7, 2, {0, 255, 255}},
      {1, 4, 63, 63, {0, 0, 0}},
      {2, 2, 0, 6, {0, 255, 255}},
      {3, 1, 5, 1, {198, 198, 198}},
      {4, 0, 6, 0, {0, 0, 0}},
    };
    return paints;
  }

  inline void SetTexel(CubeMesh &mesh, int face, int column, int row, const RgbColour &colour)
  {
    DibImage *image = mesh.FaceTexture(face)->Backing();
    uint8_t *texel = image->Data() + (static_cast<size_t>(row) * image->Width() + column) * 3;
    texel[0] = colour.red;
    texel[1] = colour.green;
    texel[2] = colour.blue;
  }

  // Adds the cubes to an initialised model (the room only) and paints.
  inline bool Build(VoxelModel &model, GraphicsDevice &device)
  {
    for(size_t i = 0; i < Centres().size(); ++i)
      if(!model.AddCube(Centres()[i], Colours()[i]))
        return false;
    for(const Paint &paint : Paints())
    {
      CubeMesh &mesh = *model.At(paint.mesh);
      SetTexel(mesh, paint.face, paint.column, paint.row, paint.colour);
      mesh.UploadFaces(device);
    }
    return true;
  }

  // Makes the model on a headless device and saves it to `path`.
  inline bool Write(const std::string &path)
  {
    GraphicsDevice device;
    if(!device.CreateHeadless())
      return false;
    VoxelModel model;
    VoxelModelSetup setup;
    setup.device = &device;
    return model.Init(setup) && Build(model, device) && model.Save(path);
  }
}
