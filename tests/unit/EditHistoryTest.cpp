// The history of edits on the headless device: each kind of step taken back
// and done again to the exact model (compared as the model file's bytes),
// with the pick buffer and the device's texels as they were; the bounds;
// redo forgotten after a new step; a model changed behind the history's back;
// and the memory a full history of long strokes takes.
#include "ModelTestSupport.h"

#include "history/EditHistory.h"
#include "history/StrokeStep.h"
#include "model/PaletteColour.h"
#include "res/Texture.h"

#include <malloc.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
  constexpr int FloorFace = 5;
  const RgbColour Red = PaletteRgb(PaletteColour::Red);
  const RgbColour Blue = PaletteRgb(PaletteColour::Blue);

  class History : public ModelTest {
  protected:
    // The view the creation screen starts with, the floor in its lower half.
    void SetUp() override
    {
      ModelTest::SetUp();
      Turn(45.f, 30.f);
      auto floor = [this](int x, int y) {
        const PickRecord &r = model.RecordAt(x, y);
        return r.mesh == model.At(0) && r.faceIndex == FloorFace;
      };
      for(fy = 440; fy > 300; --fy)
        for(fx = 150; fx < 400; ++fx)
          if(floor(fx - 8, fy - 8) && floor(fx + 8, fy - 8) && floor(fx - 8, fy + 8) && floor(fx + 8, fy + 8))
            return;
      FAIL() << "no floor in view";
    }

    std::vector<uint8_t> Bytes() const
    {
      std::vector<uint8_t> bytes;
      EXPECT_TRUE(model.SaveToMemory(bytes));
      return bytes;
    }

    // Every pick record, its mesh as its place in the list.
    std::vector<std::array<int32_t, 5>> Picks()
    {
      std::vector<std::array<int32_t, 5>> picks;
      for(int i = 0; i < 640 * 480; ++i)
      {
        const PickRecord r = model.Picks().At(i % 640, i / 640);
        picks.push_back({r.face ? model.IndexOf(r.mesh) : -1, r.faceIndex, r.triangle, r.textureSize, 0});
        std::memcpy(&picks.back()[4], &r.depth, sizeof(float));
      }
      return picks;
    }

    std::vector<uint32_t> DeviceTexels(int mesh, int face) const
    {
      const DeviceTexture &texture = *model.At(mesh)->FaceTexture(face)->Get();
      std::vector<uint32_t> texels(static_cast<size_t>(texture.Width()) * texture.Height());
      EXPECT_TRUE(texture.Read(texels.data()));
      return texels;
    }

    // A pixel in the middle of those that show the mesh at the list index.
    std::pair<int, int> PixelOf(int index) const
    {
      std::vector<std::pair<int, int>> shown;
      for(int y = 128; y < 464; ++y)
        for(int x = 118; x < 624; ++x)
          if(model.RecordAt(x, y).mesh == model.At(index))
            shown.push_back({x, y});
      return shown.empty() ? std::pair<int, int>{0, 0} : shown[shown.size() / 2];
    }

    int PaintRow(int x0, int x1, int y, const RgbColour &colour)
    {
      int painted = 0;
      for(int x = x0; x <= x1; ++x)
        painted += history.PaintAt(device, x, y, colour);
      return painted;
    }

    EditHistory history{model};
    // A floor pixel whose square of 8 pixels each way is floor too.
    int fx = 0;
    int fy = 0;
  };
}

TEST_F(History, AStrokeIsOneStepThatRestoresAndUploadsExactlyItsTexels)
{
  const std::vector<uint8_t> before = Bytes();
  const std::vector<uint32_t> deviceBefore = DeviceTexels(0, FloorFace);
  // White on the white floor changes nothing: no step.
  ASSERT_GT(PaintRow(fx, fx + 8, fy, PaletteRgb(PaletteColour::White)), 0);
  history.EndStroke();
  EXPECT_FALSE(history.CanUndo());

  // A red row, then part of it blue, then a texel blue and white again.
  ASSERT_GT(PaintRow(fx, fx + 60, fy, Red), 0);
  ASSERT_GT(PaintRow(fx + 30, fx + 90, fy, Blue), 0);
  ASSERT_TRUE(history.PaintAt(device, fx, fy - 8, Blue));
  ASSERT_TRUE(history.PaintAt(device, fx, fy - 8, PaletteRgb(PaletteColour::White)));
  EXPECT_TRUE(history.CanUndo());
  history.EndStroke();
  ASSERT_EQ(history.UndoSteps(), 1);
  const std::vector<uint8_t> after = Bytes();
  const std::vector<uint32_t> deviceAfter = DeviceTexels(0, FloorFace);

  const uint64_t revision = model.At(0)->FaceTexture(FloorFace)->Get()->Revision();
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == before);
  EXPECT_TRUE(DeviceTexels(0, FloorFace) == deviceBefore) << "the restored texels were not uploaded";
  EXPECT_GT(model.At(0)->FaceTexture(FloorFace)->Get()->Revision(), revision);
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == after);
  EXPECT_TRUE(DeviceTexels(0, FloorFace) == deviceAfter);

  // Undo in the middle of a stroke closes it and takes it back.
  ASSERT_GT(PaintRow(fx, fx + 20, fy + 4, Red), 0);
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == after);
  EXPECT_EQ(history.UndoSteps(), 1);
}

TEST_F(History, PlacingAndErasingAreUndoneWithTheListOrderAndThePickBufferAsBefore)
{
  const std::vector<std::array<int32_t, 5>> picksEmpty = Picks();
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, Red));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 60, fy - 20, PaletteRgb(PaletteColour::Green)));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 120, fy - 40, Blue));
  // The middle cube painted, so that it must come back with its paint.
  const auto [mx, my] = PixelOf(2);
  ASSERT_TRUE(history.PaintAt(device, mx, my, PaletteRgb(PaletteColour::Magenta)));
  const std::vector<std::array<int32_t, 5>> picksThree = Picks();
  const std::vector<uint8_t> three = Bytes();

  ASSERT_TRUE(history.EraseAt(mx, my));
  ASSERT_EQ(model.Count(), 3);
  const std::vector<std::array<int32_t, 5>> picksErased = Picks();
  const std::vector<uint8_t> erased = Bytes();
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == three) << "the cube is not back at its place with its texels";
  EXPECT_TRUE(Picks() == picksThree) << "the pick buffer differs from the one before the erase";
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == erased);
  EXPECT_TRUE(Picks() == picksErased);

  // Back through the erase, the stroke and the three placings.
  for(int i = 0; i < 5; ++i)
    ASSERT_TRUE(history.Undo()) << i;
  EXPECT_FALSE(history.Undo());
  EXPECT_EQ(model.Count(), 1);
  EXPECT_TRUE(Picks() == picksEmpty) << "the pick buffer differs from the one before the placing";
  for(int i = 0; i < 4; ++i)
    ASSERT_TRUE(history.Redo()) << i;
  EXPECT_TRUE(Bytes() == three);
  EXPECT_TRUE(Picks() == picksThree);
}

TEST_F(History, UndoingALoadBringsBackTheModelOnScreenAndRepeatedLoadsAreOneStep)
{
  ModelFileFolder folder;
  const std::string file = folder.File("demo.data");
  ASSERT_TRUE(model.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Cyan)));
  ASSERT_TRUE(model.Save(file));
  const std::vector<uint8_t> saved = Bytes();
  ASSERT_TRUE(model.RemoveCubeAt(1));
  ASSERT_GT(PaintRow(fx - 8, fx + 8, fy, Red), 0);
  ASSERT_TRUE(history.PlaceCubeAt(fx + 50, fy - 10, PaletteRgb(PaletteColour::Gray)));
  const std::vector<uint8_t> shown = Bytes();
  const std::vector<std::array<int32_t, 5>> picksShown = Picks();

  EXPECT_FALSE(history.Load(folder.File("missing.data")));
  EXPECT_EQ(history.UndoSteps(), 2) << "a failed load is no step";
  // F7 held for three frames loads three times: one step.
  for(int frame = 0; frame < 3; ++frame)
    ASSERT_TRUE(history.Load(file));
  EXPECT_EQ(history.UndoSteps(), 3);
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == shown);
  EXPECT_TRUE(Picks() == picksShown);
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == saved);
  // The steps before the load still fit the model they left.
  for(int i = 0; i < 3; ++i)
    ASSERT_TRUE(history.Undo()) << i;
  EXPECT_EQ(model.Count(), 1);
}

TEST_F(History, ANewStepForgetsRedoAndPastEitherBoundTheOldestStepsGo)
{
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, Red));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 60, fy - 20, PaletteRgb(PaletteColour::Green)));
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.CanRedo());
  ASSERT_TRUE(history.PlaceCubeAt(fx + 120, fy - 40, Blue));
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(model.At(2)->FaceTexture(0)->Backing()->Data()[2], 255) << "the blue cube, not the green one";

  // Four steps at most; steps taken back stay, as redo needs them.
  EditHistory fourSteps(model, 4);
  for(int i = 0; i < 6; ++i)
    ASSERT_TRUE(fourSteps.PlaceCubeAt(fx + 10 * i, fy - 4 * i, Red)) << i;
  EXPECT_EQ(fourSteps.UndoSteps(), 4);
  while(fourSteps.Undo())
  {
  }
  EXPECT_EQ(model.Count(), 5) << "two cubes of the six lie beyond the history";
  EXPECT_EQ(fourSteps.RedoSteps(), 4);

  // The bytes of three cube steps at most; a load bigger than that cannot be
  // kept, and the steps before it would no longer fit: none is left.
  const size_t cubeStep = 6 * 64 * 64 * 3 + 1024;
  EditHistory threeCubes(model, EditHistory::DefaultMaxSteps, 3 * cubeStep);
  for(int i = 0; i < 4; ++i)
    ASSERT_TRUE(threeCubes.PlaceCubeAt(fx + 10 * i, fy - 4 * i, Blue)) << i;
  EXPECT_EQ(threeCubes.UndoSteps(), 3);
  EXPECT_LE(threeCubes.Bytes(), 3 * cubeStep);
  ModelFileFolder folder;
  ASSERT_TRUE(model.Save(folder.File("demo.data")));
  ASSERT_TRUE(threeCubes.Load(folder.File("demo.data")));
  EXPECT_FALSE(threeCubes.CanUndo());
}

TEST_F(History, AModelChangedBehindTheHistorysBackClearsItAndBadStepsChangeNothing)
{
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, Red));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 60, fy - 20, Blue));
  ASSERT_TRUE(model.RemoveCubeAt(2));
  const std::vector<uint8_t> now = Bytes();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(history.Undo());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("history is cleared"), std::string::npos);
  EXPECT_FALSE(history.CanUndo());

  // The model operations of undo refuse what does not fit the model.
  CubeCopy cube;
  EXPECT_FALSE(model.CopyCube(0, cube)) << "the room is no cube";
  ASSERT_TRUE(model.CopyCube(1, cube));
  cube.index = 3;
  EXPECT_FALSE(model.InsertCube(cube));
  cube.index = 1;
  cube.texels.pop_back();
  EXPECT_FALSE(model.InsertCube(cube));
  EXPECT_FALSE(model.RemoveCubeAt(0) || model.SetTexel(1, 6, 0, 0, Red) || model.SetTexel(1, 0, 64, 0, Red));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(model.LoadFromMemory(std::vector<uint8_t>(100, 1)));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(Bytes() == now);
}

TEST_F(History, TwoHundredLongStrokesStayFarBelowTheBound)
{
  // Each stroke scribbles over the whole model area in six passes (3,000 pen
  // points) in another colour than the last one, so that it changes every
  // texel it reaches. The heap's growth is measured beside the history's own
  // count where the allocator reports it (not under the sanitizers).
  const size_t heapBefore = mallinfo2().uordblks;
  for(int stroke = 0; stroke < EditHistory::DefaultMaxSteps; ++stroke)
  {
    const RgbColour colour = PaletteRgb(static_cast<PaletteColour>(stroke % PaletteColourCount));
    for(int pass = 0; pass < 6; ++pass)
      for(int i = 0; i < 500; ++i)
        history.PaintAt(device, pass % 2 ? 619 - i : 120 + i, 140 + pass * 54 + stroke % 7 + i / 50, colour);
    history.EndStroke();
  }
  ASSERT_EQ(history.UndoSteps(), EditHistory::DefaultMaxSteps);
  const size_t bytes = history.Bytes();
  const size_t heapGrowth = mallinfo2().uordblks - heapBefore;
  std::printf("[ history  ] 200 long strokes: %zu bytes kept (%.2f MB); the heap grew by %zu bytes\n", bytes,
              static_cast<double>(bytes) / (1024 * 1024), heapGrowth);
  EXPECT_LT(bytes, EditHistory::DefaultMaxBytes / 8);
  EXPECT_GT(bytes, 200u * 500 * sizeof(StrokeStep::Texel)) << "strokes this long change hundreds of texels each";
  if(heapBefore > 0)
  {
    EXPECT_GT(static_cast<double>(heapGrowth), 0.8 * static_cast<double>(bytes));
    EXPECT_LT(static_cast<double>(heapGrowth), 1.25 * static_cast<double>(bytes));
  }
}
