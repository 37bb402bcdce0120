#pragma once

#include "create/OrbitCamera.h"
#include "gfx/ArgbImage.h"
#include "gfx/GraphicsDevice.h"
#include "platform/NativeWindow.h"
#include "platform/PdfPage.h"

#include <string>

class VoxelModel;

// The model area as the creation screen shows it from its starting view, with
// the outlines, drawn by the toy's own renderer on an OpenGL device that
// needs no display (SDL's offscreen driver), and captured exactly as the
// printer button captures it (framed in black).
//
// Open first, then initialise and load the model on Device() (the view and
// the model area's viewport are set, so the model's pick buffer is made for
// this view), then Draw. A model made on the device must be destroyed before
// this object.
class ModelPicture {
public:
  ModelPicture() = default;
  ModelPicture(const ModelPicture &) = delete;
  ModelPicture &operator=(const ModelPicture &) = delete;

  // Opens the device and sets the starting view. False, with the reason in
  // `error`, when no OpenGL device can be made.
  bool Open(std::string &error);
  GraphicsDevice &Device() { return device; }

  // Draws the model as the creation screen does (the model area cleared to
  // white, the model, its outlines) and captures the picture.
  bool Draw(VoxelModel &model, PrintablePicture &picture, std::string &error);

  // Sets the creation screen's starting view on the device: the camera's
  // projection and pose turned as the screen turns it, the identity world
  // transform and the model area's viewport.
  static void SetStartingView(GraphicsDevice &device, OrbitCamera &camera);
  // The picture as an opaque image, each pixel a `scale` by `scale` block.
  static ArgbImage Enlarge(const PrintablePicture &picture, int scale);

private:
  // The window must outlive the device's back end.
  NativeWindow window;
  GraphicsDevice device;
  OrbitCamera camera;
};
