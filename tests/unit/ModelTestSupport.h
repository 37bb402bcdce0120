#pragma once

#include "create/OrbitCamera.h"
#include "gfx/GraphicsDevice.h"
#include "gfx/HeadlessBackend.h"
#include "model/VoxelModel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The headless back end that also remembers what it was asked to draw: each
// sprite with its texture, and each batch, in order.
class RecordingBackend : public HeadlessBackend {
public:
  RecordingBackend() : HeadlessBackend(640, 480) {}

  void DrawSprite(const DeviceTexture &texture, const SpriteQuad &quad) override
  {
    HeadlessBackend::DrawSprite(texture, quad);
    sprites.push_back({&texture, quad});
  }
  void DrawFaceBatch(FaceBatch &batch, const FaceDrawState &state) override
  {
    HeadlessBackend::DrawFaceBatch(batch, state);
    batches.push_back(&batch);
  }

  struct SpriteDraw {
    const DeviceTexture *texture = nullptr;
    SpriteQuad quad;
  };
  std::vector<SpriteDraw> sprites;
  std::vector<const FaceBatch *> batches;
};

// A headless device (recording what it draws), a model initialised as the studio does (half-size 20,
// 640 by 480 buffers, active rectangle 118, 128, 506 by 336), the orbit camera
// applied, and the device's viewport set to the model area.
class ModelTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    auto recording = std::make_unique<RecordingBackend>();
    backend = recording.get();
    ASSERT_TRUE(device.CreateWithBackend(std::move(recording)));
    ASSERT_TRUE(camera.Init(device, 640, 480));
    camera.Apply();
    device.SetViewport(Viewport{118, 128, 506, 336, 0.f, 1.f});
    VoxelModelSetup setup;
    setup.device = &device;
    ASSERT_TRUE(model.Init(setup));
  }

  // Turns the camera and rebuilds the pick buffer, as a hand drag does: on
  // the pick buffer's helper threads, which every read waits for.
  void Turn(float yaw, float pitch)
  {
    camera.Rotate(yaw, pitch);
    camera.Apply();
    model.StartPickBufferRefresh(device);
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
  // Owned by the device.
  RecordingBackend *backend = nullptr;
  OrbitCamera camera;
  VoxelModel model;
};

// A folder of its own, removed afterwards: in memory (/dev/shm) where there is
// one, so that the 18 MB model files of the tests do not wait for a disk.
class ModelFileFolder {
public:
  ModelFileFolder()
  {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
    std::string pattern = (base / "vextorn-test-XXXXXX").string();
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
