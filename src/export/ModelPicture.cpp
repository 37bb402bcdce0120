#include "export/ModelPicture.h"

#include "base/ScreenLayout.h"
#include "model/VoxelModel.h"
#include "platform/GlBackend.h"
#include "res/PicturePrinter.h"

bool ModelPicture::Open(std::string &error)
{
  if(!window.CreateOffscreen("Vextorn"))
  {
    error = "cannot draw without a display (SDL's offscreen driver did not start)";
    return false;
  }
  if(!device.CreateWithBackend(GlBackend::Create(window, ScreenLayout::Width, ScreenLayout::Height)))
  {
    error = "cannot make an OpenGL device to draw the picture";
    return false;
  }
  SetStartingView(device, camera);
  return true;
}

void ModelPicture::SetStartingView(GraphicsDevice &target, OrbitCamera &view)
{
  view.Init(target, ScreenLayout::Width, ScreenLayout::Height);
  view.Rotate(OrbitCamera::StartYaw, OrbitCamera::StartPitch);
  view.Apply();
  target.SetTransform(TransformKind::World, Matrix::Identity());
  target.SetViewport({ScreenLayout::ModelLeft, ScreenLayout::ModelTop, ScreenLayout::ModelWidth,
                      ScreenLayout::ModelHeight, 0.f, 1.f});
}

bool ModelPicture::Draw(VoxelModel &model, PrintablePicture &picture, std::string &error)
{
  if(!device.IsCreated())
  {
    error = "no device to draw on";
    return false;
  }
  // The creation screen's frame, less the palette and the cursor.
  device.SetViewport({0, 0, ScreenLayout::Width, ScreenLayout::Height, 0.f, 1.f});
  device.Clear(true, true, 0xFFFFFFFF, 1.f);
  if(device.BeginScene())
  {
    device.State().ambient = 0xFFFFFFFF;
    device.State().light0Enabled = false;
    device.SetViewport({ScreenLayout::ModelLeft, ScreenLayout::ModelTop, ScreenLayout::ModelWidth,
                        ScreenLayout::ModelHeight, 0.f, 1.f});
    device.Clear(true, false, 0xFFFFFFFF, 1.f);
    device.State().cullMode = CullMode::CounterClockwise;
    device.SetTransform(TransformKind::World, Matrix::Identity());
    device.SetTexture(nullptr);
    model.Render(device);
    device.EndScene();
  }
  model.DrawOutlines(device);
  if(!PicturePrinter::CapturePicture(device, picture))
  {
    error = "the picture could not be read back";
    return false;
  }
  return true;
}

ArgbImage ModelPicture::Enlarge(const PrintablePicture &picture, int scale)
{
  ArgbImage image;
  if(scale < 1 || picture.width <= 0 || picture.height <= 0)
    return image;
  image.width = picture.width * scale;
  image.height = picture.height * scale;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for(int y = 0; y < image.height; ++y)
    for(int x = 0; x < image.width; ++x)
      image.pixels[static_cast<size_t>(y) * image.width + x] =
        0xFF000000u | picture.pixels[static_cast<size_t>(y / scale) * picture.width + x / scale];
  return image;
}
