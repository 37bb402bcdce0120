// What the toy shows must not change when the renderer changes: scripted
// scenes of the whole toy (title, the chosen button's mark, the creation
// screen with 300 painted, overlapping cubes after a hand turn) are compared
// pixel for pixel with pictures recorded once, and the pick buffer, the
// printed capture and the saved model file with recorded digests.
//
// VEXTORN_WRITE_GOLDENS=1 records them afresh into tests/golden/.

#include "rig/ScreenRig.h"

#include "events/EventCreate.h"
#include "events/EventTitle.h"
#include "events/Studio.h"
#include "model/PaletteColour.h"
#include "model/VoxelModel.h"
#include "platform/PngReader.h"
#include "platform/PngWriter.h"
#include "res/DibImage.h"
#include "res/PicturePrinter.h"
#include "ui/StartButton.h"
#include "ui/ToolButton.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
  const fs::path GoldenFolder = fs::path(VEXTORN_SOURCE_DIR) / "tests" / "golden";
  const fs::path DigestFile = GoldenFolder / "digests.txt";

  bool Recording()
  {
    const char *value = std::getenv("VEXTORN_WRITE_GOLDENS");
    return value && std::string(value) == "1";
  }

  // 64-bit FNV-1a.
  uint64_t Digest(const void *bytes, size_t size, uint64_t hash = 1469598103934665603ULL)
  {
    const auto *p = static_cast<const uint8_t *>(bytes);
    for(size_t i = 0; i < size; ++i)
      hash = (hash ^ p[i]) * 1099511628211ULL;
    return hash;
  }

  uint64_t FileDigest(const fs::path &path)
  {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Digest(bytes.data(), bytes.size());
  }

  // The pick buffer as indices (mesh in the list, face, triangle) and depth bits.
  uint64_t PickDigest(VoxelModel &model)
  {
    const PickBuffer &picks = model.Picks();
    uint64_t hash = 1469598103934665603ULL;
    for(int y = 0; y < picks.Height(); ++y)
      for(int x = 0; x < picks.Width(); ++x)
      {
        const PickRecord &r = picks.At(x, y);
        int32_t fields[5] = {r.face ? model.IndexOf(r.mesh) : -1, r.face ? r.faceIndex : -1,
                             r.face ? r.triangle : -1, r.face ? r.textureSize : -1, 0};
        std::memcpy(&fields[4], &r.depth, sizeof(float));
        hash = Digest(fields, sizeof fields, hash);
      }
    return hash;
  }

  std::map<std::string, std::string> ReadDigests()
  {
    std::map<std::string, std::string> digests;
    std::ifstream in(DigestFile);
    std::string name, value;
    while(in >> name >> value)
      digests[name] = value;
    return digests;
  }

  // Runs the toy in a folder of its own whose data/ links to the repository's
  // pictures and sounds, so that the files it writes land there.
  class GoldenScenes : public ::testing::Test {
  protected:
    void SetUp() override
    {
      char pattern[] = "/tmp/vextorn-golden-XXXXXX";
      ASSERT_NE(mkdtemp(pattern), nullptr);
      folder = pattern;
      fs::create_directory(folder / "data");
      for(const auto &entry : fs::directory_iterator(fs::path(VEXTORN_SOURCE_DIR) / "data"))
        if(entry.path().filename() != "demo.data" && entry.path().filename() != "pict.bmp")
          fs::create_symlink(entry.path(), folder / "data" / entry.path().filename());
      previous = fs::current_path();
      fs::current_path(folder);
      ASSERT_TRUE(rig.Start());
      if(!Recording())
        digests = ReadDigests();
    }

    void TearDown() override
    {
      fs::current_path(previous);
      std::error_code ignored;
      fs::remove_all(folder, ignored);
      if(Recording())
      {
        std::ofstream out(DigestFile);
        for(const auto &[name, value] : recorded)
          out << name << ' ' << value << '\n';
      }
    }

    // Compares the back buffer with the recorded picture (or records it).
    void ExpectPicture(const std::string &name)
    {
      const ArgbImage actual = rig.BackBuffer();
      const fs::path golden = GoldenFolder / (name + ".png");
      std::string error;
      if(Recording())
      {
        ASSERT_TRUE(PngWriter::Write(golden.string(), actual, error)) << error;
        return;
      }
      ArgbImage expected;
      ASSERT_TRUE(PngReader::Read(golden.string(), expected, error)) << name << ": " << error;
      ASSERT_EQ(expected.width, actual.width);
      ASSERT_EQ(expected.height, actual.height);
      int differing = 0, firstX = -1, firstY = -1;
      for(int y = 0; y < actual.height; ++y)
        for(int x = 0; x < actual.width; ++x)
        {
          const size_t i = static_cast<size_t>(y) * actual.width + x;
          if((expected.pixels[i] & 0xFFFFFF) != (actual.pixels[i] & 0xFFFFFF) && differing++ == 0)
          {
            firstX = x;
            firstY = y;
          }
        }
      if(differing)
      {
        const fs::path saved = fs::temp_directory_path() / ("vextorn-actual-" + name + ".png");
        PngWriter::Write(saved.string(), actual, error);
        ADD_FAILURE() << name << ": " << differing << " pixels differ, the first at (" << firstX << ", " << firstY
                      << "); the picture drawn is in " << saved;
      }
    }

    void ExpectDigest(const std::string &name, uint64_t value)
    {
      std::ostringstream text;
      text << std::hex << value;
      if(Recording())
      {
        recorded[name] = text.str();
        return;
      }
      ASSERT_TRUE(digests.count(name)) << name << " has no recorded digest";
      EXPECT_EQ(digests[name], text.str()) << name;
    }

    ScreenRig rig;
    fs::path folder;
    fs::path previous;
    std::map<std::string, std::string> digests;
    std::map<std::string, std::string> recorded;
  };

  // Places cubes of every colour at pseudo-random points of the model area,
  // often at the same point twice (so that cubes overlap), and paints strokes
  // over walls and cubes.
  void BuildModel(VoxelModel &model, GraphicsDevice &device, int cubes)
  {
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
      seed = seed * 1103515245u + 12345u;
      return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    int placed = 0;
    for(int attempt = 0; placed < cubes && attempt < cubes * 20; ++attempt)
    {
      const int x = 200 + next(340);
      const int y = 170 + next(260);
      const RgbColour colour = PaletteRgb(static_cast<PaletteColour>(placed % PaletteColourCount));
      if(model.PlaceCubeAt(x, y, colour))
        ++placed;
      if(placed < cubes && attempt % 3 == 0 && model.PlaceCubeAt(x, y, colour))
        ++placed;
    }
    for(int stroke = 0; stroke < 60; ++stroke)
    {
      const RgbColour pen = PaletteRgb(static_cast<PaletteColour>(stroke % PaletteColourCount));
      const int x = 130 + next(480);
      const int y = 140 + next(310);
      for(int step = 0; step < 30; ++step)
        model.PaintAt(device, x + step, y + step / 3, pen);
    }
  }
}

TEST_F(GoldenScenes, TheToyDrawsExactlyWhatItDrewBefore)
{
  // The title with the start button under the pointer.
  const HitRect start = rig.GetStudio().GetStartButton()->HitRectangle();
  rig.MoveTo(start.left + 20, start.top + 30);
  rig.Frames(3);
  ExpectPicture("title_hovered");

  // The mark drawing itself round the chosen button.
  rig.Input().Set(Key::LeftButton, true);
  rig.Frame();
  rig.Input().Set(Key::LeftButton, false);
  while(rig.Title().WaitFrames() < 5)
    rig.Frame();
  ExpectPicture("title_mark");
  ASSERT_TRUE(rig.EnterCreation());

  // The creation screen as the child first sees it, the pen over the floor.
  rig.MoveTo(380, 400);
  rig.Frames(2);
  ExpectPicture("create_empty");

  // 300 cubes of every colour, overlapping and painted, after a hand turn.
  VoxelModel &model = *rig.GetStudio().Model();
  BuildModel(model, rig.App().Device(), 300);
  ASSERT_EQ(model.Count(), 301);
  rig.ChooseTool(3);
  rig.MoveTo(300, 300);
  rig.Input().Set(Key::LeftButton, true);
  rig.Frame();
  for(int i = 0; i < 12; ++i)
  {
    rig.MoveTo(300 + 2 * i, 300 - i);
    rig.Frame();
  }
  rig.Input().Set(Key::LeftButton, false);
  rig.Frame();
  // A cube tool, its cursor over a cube, and the eraser button lit.
  rig.ChooseTool(15);
  int cubeX = -1, cubeY = -1;
  for(int y = 290; y < 400 && cubeX < 0; ++y)
    for(int x = 360; x < 500; ++x)
      if(model.RecordAt(x, y).face && model.RecordAt(x, y).textureSize == 64)
      {
        cubeX = x;
        cubeY = y;
        break;
      }
  ASSERT_GE(cubeX, 0) << "no cube under the middle of the model area";
  rig.MoveTo(cubeX, cubeY);
  rig.Frames(2);
  ExpectPicture("create_cubes");
  ExpectDigest("pick_buffer", PickDigest(model));

  // The cursor half off the screen's corner, and over a hovered button.
  rig.MoveTo(634, 476);
  rig.Frames(2);
  ExpectPicture("create_cursor_clipped");
  const HitRect eraser = rig.GetStudio().Tool(0)->HitRectangle();
  rig.MoveTo(eraser.left + 4, eraser.top + 4);
  rig.Frames(2);
  ExpectPicture("create_tool_hovered");

  // What printing captures and what saving writes.
  DibImage capture;
  const fs::path pictureFile = folder / "data" / PicturePrinter::pictureName;
  PicturePrinter printer(pictureFile.string());
  ASSERT_TRUE(capture.CreateDib(PicturePrinter::pictureWidth, PicturePrinter::pictureHeight, 24));
  ASSERT_TRUE(printer.Capture(rig.App().Device(), capture));
  ExpectDigest("capture", FileDigest(pictureFile));
  ASSERT_TRUE(model.Save((folder / "saved.data").string()));
  ExpectDigest("model_file", FileDigest(folder / "saved.data"));
}
