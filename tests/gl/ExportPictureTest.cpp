// The picture the command-line export draws (no window, SDL's offscreen
// driver) is the toy's own capture of the same model from the same starting
// view, pixel for pixel, and its enlargement is made of whole blocks.
//
// The whole toy runs once per process (see ScreenRig): the comparison runs in
// a process of its own, so that the other tests of this program may run the
// toy too.
#include "rig/ScreenRig.h"

#include "base/ScreenLayout.h"
#include "events/Studio.h"
#include "export/ModelExport.h"
#include "export/SampleModel.h"
#include "model/VoxelModel.h"
#include "platform/PngReader.h"
#include "res/PicturePrinter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {
  // Pixels of `image` that differ from the picture enlarged `scale` times;
  // -1 when the sizes differ.
  long Differing(const ArgbImage &image, const PrintablePicture &picture, int scale)
  {
    if(image.width != picture.width * scale || image.height != picture.height * scale)
      return -1;
    long differing = 0;
    for(int y = 0; y < image.height; ++y)
      for(int x = 0; x < image.width; ++x)
        differing += (image.pixels[static_cast<size_t>(y) * image.width + x] & 0xFFFFFFu) !=
                     picture.pixels[static_cast<size_t>(y / scale) * picture.width + x / scale];
    return differing;
  }

  // Exports the sample model's picture (plain and three times as large),
  // then captures the same model in the toy; says what it found on standard
  // error. 0 when both pictures are the capture, otherwise the step that
  // failed.
  int CompareWithTheToy(const fs::path &folder)
  {
    const std::string model = (folder / "model.data").string();
    if(!SampleModel::Write(model))
      return 2;
    // The export first, before the toy has a window.
    ExportRequest request;
    request.model = model;
    request.output = (folder / "picture.png").string();
    if(ModelExport::Run(request) != 0)
      return 3;
    request.output = (folder / "large.png").string();
    request.scale = 3;
    if(ModelExport::Run(request) != 0)
      return 4;

    // The toy with the same model, entered from the title as a child does;
    // the pointer over the palette, away from the model area.
    ScreenRig rig;
    if(!rig.Start() || !rig.EnterCreation())
      return 5;
    rig.MoveTo(40, 40);
    rig.Frame();
    // What F7 does, from this file.
    if(!rig.GetStudio().Model()->Load(model))
      return 6;
    rig.Frames(2);
    PrintablePicture captured;
    if(!PicturePrinter::CapturePicture(rig.App().Device(), captured))
      return 7;
    // The model is there to be seen: the first cube's red.
    bool red = false;
    for(uint32_t p : captured.pixels)
      red = red || p == 0xFF0000u;

    ArgbImage picture;
    ArgbImage large;
    std::string error;
    if(!PngReader::Read((folder / "picture.png").string(), picture, error) ||
       !PngReader::Read((folder / "large.png").string(), large, error))
      return 8;
    const long plain = Differing(picture, captured, 1);
    const long enlarged = Differing(large, captured, 3);
    std::fprintf(stderr, "red in the capture: %s; differing pixels: %ld plain, %ld three times as large\n",
                 red ? "yes" : "no", plain, enlarged);
    return red && plain == 0 && enlarged == 0 ? 0 : 1;
  }

  // Runs the comparison in a folder of its own and ends the process with its
  // status. The folder is made here, in the process that ends, and removed
  // before it ends: exit runs no destructors, and a folder made in the test
  // body would be made again (and left behind) by the process that re-runs it.
  [[noreturn]] void CompareInAFolderOfItsOwn()
  {
    char pattern[] = "/tmp/vextorn-export-XXXXXX";
    if(!mkdtemp(pattern))
      std::exit(9);
    const fs::path folder = pattern;
    const int status = CompareWithTheToy(folder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    std::exit(status);
  }
}

TEST(ExportPicture, PngIsTheToysOwnCaptureOfTheStartingViewAndScalesInBlocks)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(CompareInAFolderOfItsOwn(), testing::ExitedWithCode(0),
              "red in the capture: yes; differing pixels: 0 plain, 0 three times as large");
}
