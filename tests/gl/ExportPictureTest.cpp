// The picture the command-line export draws (no window, SDL's offscreen
// driver) is the toy's own capture of the same model from the same starting
// view, pixel for pixel, and its enlargement is made of whole blocks.
#include "rig/ScreenRig.h"

#include "base/ScreenLayout.h"
#include "events/Studio.h"
#include "export/ModelExport.h"
#include "export/SampleModel.h"
#include "model/VoxelModel.h"
#include "platform/PngReader.h"
#include "res/PicturePrinter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(ExportPicture, PngIsTheToysOwnCaptureOfTheStartingViewAndScalesInBlocks)
{
  char pattern[] = "/tmp/vextorn-export-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path folder = pattern;
  const std::string model = (folder / "model.data").string();
  ASSERT_TRUE(SampleModel::Write(model));

  // The export first, in this process, before the toy has a window.
  ExportRequest request;
  request.model = model;
  request.output = (folder / "picture.png").string();
  ASSERT_EQ(ModelExport::Run(request), 0);
  request.output = (folder / "large.png").string();
  request.scale = 3;
  ASSERT_EQ(ModelExport::Run(request), 0);

  // The toy with the same model, entered from the title as a child does; the
  // pointer over the palette, away from the model area.
  ScreenRig rig;
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.EnterCreation());
  rig.MoveTo(40, 40);
  rig.Frame();
  GraphicsDevice &device = rig.App().Device();
  // What F7 does, from this file.
  ASSERT_TRUE(rig.GetStudio().Model()->Load(model));
  rig.Frames(2);
  PrintablePicture captured;
  ASSERT_TRUE(PicturePrinter::CapturePicture(device, captured));
  // The model is there to be seen: a cube's colour inside the picture.
  bool red = false;
  for(uint32_t p : captured.pixels)
    red = red || p == 0xFF0000u;
  EXPECT_TRUE(red);

  std::string error;
  ArgbImage picture;
  ASSERT_TRUE(PngReader::Read((folder / "picture.png").string(), picture, error)) << error;
  ASSERT_EQ(picture.width, ScreenLayout::ModelWidth);
  ASSERT_EQ(picture.height, ScreenLayout::ModelHeight);
  int differing = 0;
  for(size_t i = 0; i < picture.pixels.size(); ++i)
    differing += (picture.pixels[i] & 0xFFFFFFu) != captured.pixels[i];
  EXPECT_EQ(differing, 0) << "pixels that differ from the toy's capture";

  ArgbImage large;
  ASSERT_TRUE(PngReader::Read((folder / "large.png").string(), large, error)) << error;
  ASSERT_EQ(large.width, 3 * ScreenLayout::ModelWidth);
  ASSERT_EQ(large.height, 3 * ScreenLayout::ModelHeight);
  differing = 0;
  for(int y = 0; y < large.height; ++y)
    for(int x = 0; x < large.width; ++x)
      differing += (large.pixels[static_cast<size_t>(y) * large.width + x] & 0xFFFFFFu) !=
                   captured.pixels[static_cast<size_t>(y / 3) * captured.width + x / 3];
  EXPECT_EQ(differing, 0);

  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
