// The history of edits on the headless device: each kind of step (stroke,
// placed cube, erased cube, load) taken back and done again to the exact
// model (list, centres, every texel, compared as the model file's bytes),
// the pick buffer and the device's texels after undoing, the bounds on steps
// and bytes, redo forgotten after a new step, a model changed behind the
// history's back, the model operations undo relies on refusing bad input,
// and the memory a full history of long strokes takes.
#include "ModelTestSupport.h"

#include "history/EditHistory.h"
#include "history/StrokeStep.h"
#include "model/PaletteColour.h"
#include "res/Texture.h"

#include <malloc.h>

#include <array>
#include <cstring>
#include <utility>
#include <cstdio>
#include <limits>
#include <vector>

namespace {
  constexpr int FloorFace = 5;

  // One pick record with the mesh as its place in the list.
  using Pick = std::array<int32_t, 5>;

  class History : public ModelTest {
  protected:
    // The view the creation screen starts with, the floor in its lower half.
    void SetUp() override
    {
      ModelTest::SetUp();
      Turn(45.f, 30.f);
    }

    // The whole model as the model file's bytes.
    std::vector<uint8_t> Bytes() const
    {
      std::vector<uint8_t> bytes;
      EXPECT_TRUE(model.SaveToMemory(bytes));
      return bytes;
    }

    // Every pick record, meshes by their place in the list, depth bits included.
    std::vector<Pick> Picks()
    {
      std::vector<Pick> picks;
      picks.reserve(640 * 480);
      for(int y = 0; y < 480; ++y)
        for(int x = 0; x < 640; ++x)
        {
          const PickRecord &r = model.RecordAt(x, y);
          Pick pick{-1, -1, -1, -1, 0};
          if(r.face)
            pick = {model.IndexOf(r.mesh), r.faceIndex, r.triangle, r.textureSize, 0};
          std::memcpy(&pick[4], &r.depth, sizeof(float));
          picks.push_back(pick);
        }
      return picks;
    }

    // What the device holds of a face's texels.
    std::vector<uint32_t> DeviceTexels(int mesh, int face) const
    {
      const DeviceTexture &texture = *model.At(mesh)->FaceTexture(face)->Get();
      std::vector<uint32_t> texels(static_cast<size_t>(texture.Width()) * texture.Height());
      EXPECT_TRUE(texture.Read(texels.data()));
      return texels;
    }

    bool IsFloor(int x, int y) const
    {
      const PickRecord &r = model.RecordAt(x, y);
      return r.face && r.mesh == model.At(0) && r.faceIndex == FloorFace;
    }

    // A floor pixel of the lower left whose square of 8 pixels each way is
    // floor too.
    void FloorPixel(int &x, int &y) const
    {
      auto floorAround = [this](int px, int py) {
        for(int dy = -8; dy <= 8; dy += 8)
          for(int dx = -8; dx <= 8; dx += 8)
            if(!IsFloor(px + dx, py + dy))
              return false;
        return true;
      };
      for(y = 440; y > 300; --y)
        for(x = 150; x < 400; ++x)
          if(floorAround(x, y))
            return;
      ADD_FAILURE() << "no floor in view";
    }

    // A pixel in the middle of those showing the mesh at the list index.
    void PixelOf(int index, int &x, int &y) const
    {
      std::vector<std::pair<int, int>> shown;
      for(int py = 128; py < 464; ++py)
        for(int px = 118; px < 624; ++px)
          if(model.RecordAt(px, py).mesh == model.At(index))
            shown.push_back({px, py});
      if(shown.empty())
      {
        ADD_FAILURE() << "mesh " << index << " is not in view";
        return;
      }
      x = shown[shown.size() / 2].first;
      y = shown[shown.size() / 2].second;
    }

    // Paints along the row from (x0, y) to (x1, y), one call per pixel.
    int PaintRow(EditHistory &history, int x0, int x1, int y, const RgbColour &colour)
    {
      int painted = 0;
      for(int x = x0; x <= x1; ++x)
        painted += history.PaintAt(device, x, y, colour);
      return painted;
    }

    EditHistory history{model};
  };
}

TEST_F(History, AStrokeIsOneStepThatRestoresAndUploadsExactlyItsTexels)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  const std::vector<uint8_t> before = Bytes();
  const std::vector<uint32_t> deviceBefore = DeviceTexels(0, FloorFace);

  // One stroke: a red row, then back over part of it in blue, then a texel
  // painted blue and back to its own white: that one changed nothing.
  ASSERT_GT(PaintRow(history, fx, fx + 60, fy, PaletteRgb(PaletteColour::Red)), 0);
  ASSERT_GT(PaintRow(history, fx + 30, fx + 90, fy, PaletteRgb(PaletteColour::Blue)), 0);
  ASSERT_TRUE(history.PaintAt(device, fx, fy - 8, PaletteRgb(PaletteColour::Blue)));
  ASSERT_TRUE(history.PaintAt(device, fx, fy - 8, PaletteRgb(PaletteColour::White)));
  EXPECT_TRUE(history.CanUndo());
  EXPECT_EQ(history.UndoSteps(), 0) << "the stroke is still open";
  history.EndStroke();
  ASSERT_EQ(history.UndoSteps(), 1);
  const std::vector<uint8_t> after = Bytes();
  const std::vector<uint32_t> deviceAfter = DeviceTexels(0, FloorFace);
  ASSERT_NE(after, before);

  const uint64_t revision = model.At(0)->FaceTexture(FloorFace)->Get()->Revision();
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == before);
  EXPECT_TRUE(DeviceTexels(0, FloorFace) == deviceBefore) << "the restored texels were not uploaded";
  EXPECT_GT(model.At(0)->FaceTexture(FloorFace)->Get()->Revision(), revision);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_TRUE(history.CanRedo());

  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == after);
  EXPECT_TRUE(DeviceTexels(0, FloorFace) == deviceAfter);
  EXPECT_FALSE(history.CanRedo());
}

TEST_F(History, AStrokeKeepsOnlyTheTexelsItChangedWithTheirFirstAndLastColours)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  StrokeStep stroke;
  PaintedTexel painted;
  ASSERT_TRUE(model.PaintAt(device, fx, fy, PaletteRgb(PaletteColour::Red), &painted));
  EXPECT_EQ(painted.mesh, model.At(0));
  EXPECT_EQ(painted.face, FloorFace);
  EXPECT_EQ(painted.before, PaletteRgb(PaletteColour::White));
  EXPECT_EQ(painted.after, PaletteRgb(PaletteColour::Red));
  stroke.Add(model, painted);
  ASSERT_TRUE(model.PaintAt(device, fx, fy, PaletteRgb(PaletteColour::Green), &painted));
  EXPECT_EQ(painted.before, PaletteRgb(PaletteColour::Red));
  stroke.Add(model, painted);
  const PaintedTexel first = painted;
  ASSERT_TRUE(model.PaintAt(device, fx - 8, fy - 8, PaletteRgb(PaletteColour::White), &painted));
  ASSERT_TRUE(painted.x != first.x || painted.y != first.y);
  stroke.Add(model, painted);
  EXPECT_TRUE(stroke.Changed());
  stroke.Finish();
  ASSERT_EQ(stroke.Texels().size(), 1u);
  const StrokeStep::Texel &texel = stroke.Texels()[0];
  EXPECT_EQ(texel.mesh, 0);
  EXPECT_EQ(texel.face, FloorFace);
  EXPECT_EQ(texel.before, PaletteRgb(PaletteColour::White));
  EXPECT_EQ(texel.after, PaletteRgb(PaletteColour::Green));
  EXPECT_EQ(stroke.Bytes(), sizeof(StrokeStep) + sizeof(StrokeStep::Texel));
}

TEST_F(History, AStrokeThatChangedNothingIsNoStepAndKeepsWhatCouldBeRedone)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.CanRedo());
  // White on the white floor.
  ASSERT_GT(PaintRow(history, fx, fx + 20, fy, PaletteRgb(PaletteColour::White)), 0);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_TRUE(history.CanRedo());
  history.EndStroke();
  EXPECT_EQ(history.UndoSteps(), 0);
  EXPECT_TRUE(history.Redo());
  EXPECT_EQ(model.Count(), 2);
}

TEST_F(History, UndoDuringAStrokeTakesBackWhatItPaintedSoFar)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  const std::vector<uint8_t> before = Bytes();
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.CanRedo());
  ASSERT_GT(PaintRow(history, fx, fx + 30, fy, PaletteRgb(PaletteColour::Black)), 0);
  EXPECT_FALSE(history.CanRedo()) << "closing the stroke forgets the cube";
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == before);
  EXPECT_EQ(history.RedoSteps(), 1) << "only the stroke can be done again";
  // Painting on opens a stroke of its own.
  ASSERT_GT(PaintRow(history, fx, fx + 30, fy + 4, PaletteRgb(PaletteColour::Black)), 0);
  history.EndStroke();
  EXPECT_EQ(history.UndoSteps(), 1);
  EXPECT_EQ(history.RedoSteps(), 0);
}

TEST_F(History, PlacingAndErasingAreUndoneWithTheListOrderAndThePickBufferAsBefore)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  const std::vector<Pick> picksEmpty = Picks();
  const std::vector<uint8_t> empty = Bytes();
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 60, fy - 20, PaletteRgb(PaletteColour::Green)));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 120, fy - 40, PaletteRgb(PaletteColour::Blue)));
  ASSERT_EQ(model.Count(), 4);
  const std::vector<Pick> picksThree = Picks();
  const std::vector<uint8_t> three = Bytes();
  const Vector3 middle = model.At(2)->Centre();

  // The middle cube erased, then brought back to its place in the list.
  int ex = 0, ey = 0;
  PixelOf(2, ex, ey);
  ASSERT_TRUE(history.EraseAt(ex, ey));
  ASSERT_EQ(model.Count(), 3);
  const std::vector<Pick> picksErased = Picks();
  const std::vector<uint8_t> erased = Bytes();
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.Count(), 4);
  EXPECT_EQ(model.At(2)->Centre(), middle);
  EXPECT_TRUE(Bytes() == three);
  EXPECT_TRUE(Picks() == picksThree) << "the pick buffer differs from the one before the erase";
  EXPECT_EQ(model.RecordAt(ex, ey).mesh, model.At(2));
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == erased);
  EXPECT_TRUE(Picks() == picksErased);

  // Back through the erase and the three placings to the empty room.
  ASSERT_TRUE(history.Undo());
  for(int i = 0; i < 3; ++i)
    ASSERT_TRUE(history.Undo()) << i;
  EXPECT_FALSE(history.Undo());
  EXPECT_EQ(model.Count(), 1);
  EXPECT_TRUE(Bytes() == empty);
  EXPECT_TRUE(Picks() == picksEmpty) << "the pick buffer differs from the one before the placing";
  // And forward again.
  for(int i = 0; i < 3; ++i)
    ASSERT_TRUE(history.Redo()) << i;
  EXPECT_TRUE(Bytes() == three);
  EXPECT_TRUE(Picks() == picksThree);
}

TEST_F(History, AnErasedCubeComesBackWithItsPaint)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Yellow)));
  int cx = 0, cy = 0;
  PixelOf(1, cx, cy);
  ASSERT_TRUE(history.PaintAt(device, cx, cy, PaletteRgb(PaletteColour::Magenta)));
  history.EndStroke();
  const std::vector<uint8_t> painted = Bytes();
  ASSERT_TRUE(history.EraseAt(cx, cy));
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == painted);
  // Undoing the stroke and the placing, then redoing both, paints it again.
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Redo());
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == painted);
}

TEST_F(History, UndoingALoadBringsBackTheModelOnScreenAndRepeatedLoadsAreOneStep)
{
  ModelFileFolder folder;
  const std::string file = folder.File("demo.data");
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  // The file: one cube. On screen: two other cubes and a painted floor.
  ASSERT_TRUE(model.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Cyan)));
  ASSERT_TRUE(model.Save(file));
  const std::vector<uint8_t> saved = Bytes();
  model.RemoveCubeAt(1);
  ASSERT_GT(PaintRow(history, fx - 8, fx + 8, fy, PaletteRgb(PaletteColour::Red)), 0);
  history.EndStroke();
  ASSERT_TRUE(history.PlaceCubeAt(fx + 50, fy - 10, PaletteRgb(PaletteColour::Gray)));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 100, fy - 30, PaletteRgb(PaletteColour::Black)));
  const std::vector<uint8_t> shown = Bytes();
  const std::vector<Pick> picksShown = Picks();

  // A missing file is no step.
  EXPECT_FALSE(history.Load(folder.File("missing.data")));
  EXPECT_EQ(history.UndoSteps(), 3);

  // F7 held for three frames loads three times: one step.
  for(int frame = 0; frame < 3; ++frame)
    ASSERT_TRUE(history.Load(file));
  EXPECT_EQ(history.UndoSteps(), 4);
  EXPECT_TRUE(Bytes() == saved);
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(Bytes() == shown);
  EXPECT_TRUE(Picks() == picksShown);
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(Bytes() == saved);
  // The steps before the load still fit the model they left.
  ASSERT_TRUE(history.Undo());
  for(int i = 0; i < 3; ++i)
    ASSERT_TRUE(history.Undo()) << i;
  EXPECT_EQ(model.Count(), 1);

  // A load after an undo is a new step of its own.
  ASSERT_TRUE(history.Load(file));
  EXPECT_EQ(history.UndoSteps(), 1);
  EXPECT_EQ(history.RedoSteps(), 0);
}

TEST_F(History, ANewStepForgetsWhatCouldBeRedone)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 60, fy - 20, PaletteRgb(PaletteColour::Green)));
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.CanRedo());
  ASSERT_TRUE(history.PlaceCubeAt(fx + 120, fy - 40, PaletteRgb(PaletteColour::Blue)));
  EXPECT_FALSE(history.CanRedo());
  EXPECT_FALSE(history.Redo());
  ASSERT_EQ(model.Count(), 3);
  EXPECT_EQ(model.At(2)->FaceTexture(0)->Backing()->Data()[2], 255) << "the blue cube, not the green one";
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.Count(), 1);
  EXPECT_FALSE(history.CanUndo());
}

TEST_F(History, PastEitherBoundTheOldestStepsGo)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  // At most four steps.
  EditHistory fourSteps(model, 4);
  for(int i = 0; i < 6; ++i)
    ASSERT_TRUE(fourSteps.PlaceCubeAt(fx + 10 * i, fy - 4 * i, PaletteRgb(PaletteColour::Red))) << i;
  EXPECT_EQ(fourSteps.UndoSteps(), 4);
  while(fourSteps.Undo())
  {
  }
  EXPECT_EQ(model.Count(), 3) << "the first two cubes are beyond the history";

  // At most the bytes of three cube steps: the fourth pushes the first out.
  EditHistory threeCubes(model, EditHistory::DefaultMaxSteps, 3 * (6 * 64 * 64 * 3 + 1024));
  for(int i = 0; i < 4; ++i)
    ASSERT_TRUE(threeCubes.PlaceCubeAt(fx + 10 * i, fy - 4 * i, PaletteRgb(PaletteColour::Blue))) << i;
  EXPECT_EQ(threeCubes.UndoSteps(), 3);
  EXPECT_LE(threeCubes.Bytes(), 3u * (6 * 64 * 64 * 3 + 1024));

  // A load bigger than the whole bound cannot be kept, and the steps before
  // it would no longer fit the model: none is left.
  ModelFileFolder folder;
  ASSERT_TRUE(model.Save(folder.File("demo.data")));
  ASSERT_TRUE(threeCubes.Load(folder.File("demo.data")));
  EXPECT_EQ(threeCubes.UndoSteps(), 0);
  EXPECT_FALSE(threeCubes.CanUndo());

  // Steps taken back are not dropped by the bound: they are needed to redo.
  EditHistory twoSteps(model, 2);
  ASSERT_TRUE(twoSteps.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(twoSteps.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(twoSteps.Undo());
  ASSERT_TRUE(twoSteps.Undo());
  EXPECT_EQ(twoSteps.RedoSteps(), 2);
}

TEST_F(History, AModelChangedBehindTheHistorysBackForgetsTheStepsAndStaysAsItIs)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  ASSERT_TRUE(history.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(history.PlaceCubeAt(fx + 60, fy - 20, PaletteRgb(PaletteColour::Green)));
  // The second cube goes without the history.
  ASSERT_TRUE(model.RemoveCubeAt(2));
  const std::vector<uint8_t> now = Bytes();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(history.Undo());
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("history is cleared"), std::string::npos) << log;
  EXPECT_TRUE(Bytes() == now);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());
}

TEST_F(History, TheModelOperationsUndoRestsOnRefuseWhatDoesNotFit)
{
  int fx = 0, fy = 0;
  FloorPixel(fx, fy);
  ASSERT_TRUE(model.PlaceCubeAt(fx, fy, PaletteRgb(PaletteColour::Red)));
  CubeCopy cube;
  EXPECT_FALSE(model.CopyCube(0, cube)) << "the room is no cube";
  EXPECT_FALSE(model.CopyCube(2, cube));
  ASSERT_TRUE(model.CopyCube(1, cube));
  EXPECT_EQ(cube.index, 1);
  EXPECT_EQ(cube.texels.size(), 6u * 64 * 64 * 3);
  const std::vector<uint8_t> before = Bytes();

  CubeCopy wrong = cube;
  wrong.index = 0;
  EXPECT_FALSE(model.InsertCube(wrong)) << "before the room";
  wrong.index = 3;
  EXPECT_FALSE(model.InsertCube(wrong)) << "past the end";
  wrong = cube;
  wrong.texels.pop_back();
  EXPECT_FALSE(model.InsertCube(wrong));
  wrong = cube;
  wrong.centre.y = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(model.InsertCube(wrong));
  EXPECT_FALSE(model.RemoveCubeAt(0));
  EXPECT_FALSE(model.RemoveCubeAt(2));
  EXPECT_FALSE(model.SetTexel(2, 0, 0, 0, RgbColour{}));
  EXPECT_FALSE(model.SetTexel(1, 6, 0, 0, RgbColour{}));
  EXPECT_FALSE(model.SetTexel(1, 0, 64, 0, RgbColour{}));
  EXPECT_FALSE(model.SetTexel(0, 0, 0, -1, RgbColour{}));
  RgbColour colour;
  EXPECT_FALSE(model.TexelColour(0, 0, 1024, 0, colour));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(model.LoadFromMemory({}));
  EXPECT_FALSE(model.LoadFromMemory(std::vector<uint8_t>(100, 1)));
  std::vector<uint8_t> cut = before;
  cut.resize(cut.size() - 3);
  EXPECT_FALSE(model.LoadFromMemory(cut));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(Bytes() == before);

  // The copy, moved a little, put back in front of the cube.
  cube.centre.x += 5.f;
  ASSERT_TRUE(model.InsertCube(cube));
  ASSERT_EQ(model.Count(), 3);
  EXPECT_EQ(model.At(1)->Centre(), cube.centre);
  EXPECT_EQ(model.At(2)->Centre().x, cube.centre.x - 5.f);
  ASSERT_TRUE(model.SetTexel(1, 2, 5, 6, RgbColour{1, 2, 3}));
  ASSERT_TRUE(model.TexelColour(1, 2, 5, 6, colour));
  EXPECT_EQ(colour, (RgbColour{1, 2, 3}));
  EXPECT_EQ(DeviceTexels(1, 2)[6 * 64 + 5], 0xFF010203u);
}

TEST_F(History, TwoHundredLongStrokesStayFarBelowTheBound)
{
  // Each stroke scribbles over the whole model area in six passes (about
  // 3,000 pen points), in a colour other than the last one's, so that every
  // stroke changes every texel it reaches. The figure is the history's own
  // count; the heap's growth is measured beside it where the allocator
  // reports it (not under the sanitizers).
  const size_t heapBefore = mallinfo2().uordblks;
  for(int stroke = 0; stroke < EditHistory::DefaultMaxSteps; ++stroke)
  {
    const RgbColour colour = PaletteRgb(static_cast<PaletteColour>(stroke % PaletteColourCount));
    for(int pass = 0; pass < 6; ++pass)
    {
      const int y = 140 + pass * 54 + stroke % 7;
      const bool rightward = pass % 2 == 0;
      for(int i = 0; i < 500; ++i)
        history.PaintAt(device, rightward ? 120 + i : 619 - i, y + i / 50, colour);
    }
    history.EndStroke();
  }
  ASSERT_EQ(history.UndoSteps(), EditHistory::DefaultMaxSteps);
  const size_t bytes = history.Bytes();
  const size_t heapAfter = mallinfo2().uordblks;
  int undone = 0;
  while(history.Undo())
    ++undone;
  std::printf("[ history  ] 200 long strokes: %zu bytes kept (%.2f MB); heap grew by %zu bytes\n", bytes,
              static_cast<double>(bytes) / (1024 * 1024), heapAfter - heapBefore);
  RecordProperty("history_bytes", static_cast<int>(bytes));
  EXPECT_EQ(undone, 200);
  EXPECT_LT(bytes, EditHistory::DefaultMaxBytes / 8);
  EXPECT_GT(bytes, 200u * 100 * sizeof(StrokeStep::Texel)) << "strokes this long change hundreds of texels each";
  if(heapBefore > 0)
  {
    const double ratio = static_cast<double>(heapAfter - heapBefore) / static_cast<double>(bytes);
    EXPECT_GT(ratio, 0.8) << "the history counts less than it holds";
    EXPECT_LT(ratio, 1.25) << "the history counts more than it holds";
  }
}
