#pragma once

#include "create/OrbitCamera.h"
#include "gfx/GraphicsDevice.h"
#include "model/VoxelModel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

// A headless device, a model initialised as the studio does (half-size 20,
// 640 by 480 buffers, active rectangle 118, 128, 506 by 336), the orbit camera
// applied, and the device's viewport set to the model area.
class ModelTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(device.CreateHeadless());
    ASSERT_TRUE(camera.Init(device, 640, 480));
    camera.Apply();
    device.SetViewport(Viewport{118, 128, 506, 336, 0.f, 1.f});
    VoxelModelSetup setup;
    setup.device = &device;
    ASSERT_TRUE(model.Init(setup));
  }

  // Turns the camera and rebuilds the pick buffer, as a hand drag does.
  void Turn(float yaw, float pitch)
  {
    camera.Rotate(yaw, pitch);
    camera.Apply();
    model.RefreshPickBuffer(device);
  }

  // The first pixel of the active rectangle, in row order, whose record passes `match`.
  bool FindPixel(const std::function<bool(const PickRecord &)> &match, int &x, int &y) const
  {
    for(y = 128; y < 464; ++y)
      for(x = 118; x < 624; ++x)
        if(model.RecordAt(x, y).face && match(model.RecordAt(x, y)))
          return true;
    return false;
  }

  GraphicsDevice device;
  OrbitCamera camera;
  VoxelModel model;
};

// A folder of its own under the system's temporary folder, removed afterwards.
// (Named apart from the image tests' TempFolder: two classes of one name
// break the one-definition rule, and the linker keeps only one constructor.)
class ModelFileFolder {
public:
  ModelFileFolder()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "vextorn-test-XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ModelFileFolder()
  {
    std::error_code ignored;
    if(!path.empty())
      std::filesystem::remove_all(path, ignored);
  }
  std::string File(const std::string &name) const { return path + "/" + name; }
  std::string path;
};
