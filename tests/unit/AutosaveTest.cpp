// The autosave: the model's change count, snapshots that copy only the face
// images that changed and write what a save writes, the interval after a
// change, the write on close, bringing a model back at start, and a damaged
// file set aside without being destroyed.
#include "ModelTestSupport.h"
#include "StoreTestSupport.h"
#include "model/PaletteColour.h"
#include "res/DibImage.h"
#include "res/Texture.h"
#include "store/Autosave.h"
#include "store/ModelSnapshot.h"
#include "store/SaveFolder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <vector>

namespace {
  namespace fs = std::filesystem;


  std::vector<char> ReadAll(const std::string &path)
  {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  ino_t Inode(const std::string &path)
  {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
  }

  // A model with the pick buffer ready, an autosave folder of its own and
  // the model file that VoxelModel::Save writes for comparison.
  class AutosaveTest : public ModelTest {
  protected:
    void SetUp() override
    {
      ModelTest::SetUp();
      model.RefreshPickBuffer(device);
    }

    // A cube in front of the eye, painted, and a painted wall.
    void BuildSample()
    {
      ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), PaletteRgb(PaletteColour::Blue)));
      ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::Red)));
      ASSERT_TRUE(model.AddCube(Vector3(0, 0, -300), PaletteRgb(PaletteColour::Green)));
      ASSERT_TRUE(model.PaintAt(device, 130, 140, PaletteRgb(PaletteColour::Yellow)));
    }

    // What a save of the model as it is now writes.
    std::vector<char> Saved()
    {
      const std::string path = folder.File("reference.data");
      EXPECT_TRUE(model.Save(path));
      return ReadAll(path);
    }

    ModelFileFolder folder;
    SaveFolder saves{folder.path};
  };
}

TEST_F(AutosaveTest, EveryEditCountsAsAChangeAndNothingElseDoes)
{
  uint64_t count = model.ChangeCount();
  const auto changed = [&](const char *what) {
    EXPECT_GT(model.ChangeCount(), count) << what;
    count = model.ChangeCount();
  };
  const auto unchanged = [&](const char *what) { EXPECT_EQ(model.ChangeCount(), count) << what; };

  ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::Red)));
  changed("painting the wall");
  EXPECT_FALSE(model.PaintAt(device, 100, 296, RgbColour{}));
  unchanged("painting outside the model area");
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  changed("adding a cube");
  ASSERT_TRUE(model.PlaceCubeAt(371, 296, RgbColour{}));
  changed("placing a cube");
  model.RefreshPickBuffer(device);
  model.DrawOutlines(device);
  unchanged("refreshing and drawing");
  EXPECT_FALSE(model.EraseAt(100, 296));
  unchanged("erasing outside the model area");
  ASSERT_TRUE(model.EraseAt(371, 296));
  changed("erasing a cube");

  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));
  unchanged("saving");
  EXPECT_FALSE(model.Load(folder.File("missing.data")));
  unchanged("a load that fails");
  ASSERT_TRUE(model.Load(path));
  changed("loading");
  model.MarkChanged();
  changed("a change made from outside");
}

TEST_F(AutosaveTest, ASnapshotWritesExactlyWhatASaveWrites)
{
  BuildSample();
  const std::shared_ptr<const ModelSnapshot> snapshot = ModelSnapshot::Take(model);
  EXPECT_EQ(snapshot->MeshCount(), 3);
  EXPECT_EQ(snapshot->ChangeCount(), model.ChangeCount());
  const std::string path = folder.File("snapshot.data");
  ASSERT_TRUE(Autosave::WriteFile(*snapshot, path));
  const std::vector<char> saved = Saved();
  EXPECT_EQ(ReadAll(path), saved);
  EXPECT_EQ(snapshot->FileBytes(), static_cast<int64_t>(saved.size()));

  // The model goes on changing; the snapshot does not.
  ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::Black)));
  ASSERT_TRUE(model.AddCube(Vector3(60, 0, 0), RgbColour{}));
  ASSERT_TRUE(Autosave::WriteFile(*snapshot, path));
  EXPECT_EQ(ReadAll(path), saved);
}

// A snapshot shares the face images' bytes instead of copying them (so that
// thousands of cubes cost the frame nothing), and a face painted afterwards
// copies its own bytes first: the snapshot keeps the model as it was.
TEST_F(AutosaveTest, SnapshotsShareTheFaceImagesAndKeepThemAsTheyWere)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  const auto bytesOf = [&](int mesh, int face) {
    return static_cast<const DibImage *>(model.At(mesh)->FaceTexture(face)->Backing())->Data();
  };
  const std::vector<char> before = Saved();
  auto first = ModelSnapshot::Take(model);
  for(int m = 0; m < model.Count(); ++m)
    for(int f = 0; f < 6; ++f)
      EXPECT_EQ(first->Texels(m, f), bytesOf(m, f)) << m << "," << f;

  // The cube's front face and a wall are painted: they now have bytes of
  // their own; the snapshot's are as they were, and so is what it writes.
  ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::Red)));
  ASSERT_TRUE(model.PaintAt(device, 130, 140, PaletteRgb(PaletteColour::Red)));
  int ownBytes = 0;
  for(int m = 0; m < model.Count(); ++m)
    for(int f = 0; f < 6; ++f)
      ownBytes += first->Texels(m, f) != bytesOf(m, f);
  EXPECT_EQ(ownBytes, 2);
  const std::string path = folder.File("snapshot.data");
  ASSERT_TRUE(Autosave::WriteFile(*first, path));
  EXPECT_EQ(ReadAll(path), before);

  // A later snapshot holds the paint; put together with a cube added and
  // one erased, it is still the whole model.
  ASSERT_TRUE(model.AddCube(Vector3(0, 60, 0), RgbColour{}));
  auto second = ModelSnapshot::Take(model);
  ASSERT_TRUE(Autosave::WriteFile(*second, path));
  EXPECT_EQ(ReadAll(path), Saved());
  ASSERT_TRUE(model.EraseAt(371, 296));
  ASSERT_TRUE(Autosave::WriteFile(*ModelSnapshot::Take(model), path));
  EXPECT_EQ(ReadAll(path), Saved());

  // With no snapshot left, painting writes the image's bytes in place.
  first.reset();
  second.reset();
  const uint8_t *walls[6] = {};
  for(int f = 0; f < 6; ++f)
    walls[f] = bytesOf(0, f);
  ASSERT_TRUE(model.PaintAt(device, 130, 150, PaletteRgb(PaletteColour::Blue)));
  for(int f = 0; f < 6; ++f)
    EXPECT_EQ(bytesOf(0, f), walls[f]) << f;
}

TEST_F(AutosaveTest, AChangedModelIsWrittenOnceTheIntervalHasPassed)
{
  Autosave autosave(saves, 1000);
  autosave.Begin(model);
  const std::string path = autosave.Path();
  EXPECT_EQ(path, folder.File("autosave.data"));

  autosave.Tick(model, 50);
  autosave.Wait();
  EXPECT_FALSE(fs::exists(path)) << "nothing changed, nothing written";

  BuildSample();
  autosave.Tick(model, 100);
  autosave.Tick(model, 1099);
  autosave.Wait();
  EXPECT_FALSE(fs::exists(path)) << "written before the interval passed";
  autosave.Tick(model, 1100);
  // The frame goes on while the file is written: a change now is not in it.
  const std::vector<char> saved = Saved();
  ASSERT_TRUE(model.PaintAt(device, 371, 296, PaletteRgb(PaletteColour::White)));
  autosave.Wait();
  EXPECT_FALSE(autosave.Writing());
  EXPECT_EQ(ReadAll(path), saved);

  // That change is seen at the next frame and written one interval later.
  const uint64_t pending = model.ChangeCount();
  autosave.Tick(model, 1200);
  autosave.Tick(model, 2199);
  autosave.Wait();
  EXPECT_EQ(ReadAll(path), saved);
  autosave.Tick(model, 2200);
  autosave.Wait();
  EXPECT_EQ(ReadAll(path), Saved());
  autosave.Tick(model, 2300);
  EXPECT_EQ(autosave.SavedCount(), pending);

  // A model at rest is not written again.
  fs::remove(path);
  autosave.Tick(model, 9000);
  autosave.Tick(model, 20000);
  autosave.Wait();
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(AutosaveTest, ClosingWritesOnlyAModelThatChanged)
{
  Autosave autosave(saves);
  autosave.Begin(model);
  const std::string path = autosave.Path();
  EXPECT_TRUE(autosave.Finish(model));
  EXPECT_FALSE(fs::exists(path)) << "an unchanged empty room replaced nothing";

  BuildSample();
  // Long before the interval: closing does not wait for it.
  autosave.Tick(model, 10);
  EXPECT_TRUE(autosave.Finish(model));
  EXPECT_EQ(ReadAll(path), Saved());
  const ino_t written = Inode(path);
  EXPECT_TRUE(autosave.Finish(model));
  EXPECT_EQ(Inode(path), written) << "closing twice wrote twice";
}

TEST_F(AutosaveTest, RestoreBringsBackTheModelAndCountsItAsSaved)
{
  Autosave autosave(saves);
  EXPECT_EQ(autosave.Restore(model), Autosave::Restored::None);
  EXPECT_EQ(model.Count(), 1);

  BuildSample();
  ASSERT_TRUE(model.Save(autosave.Path()));
  const std::vector<char> kept = ReadAll(autosave.Path());
  const ino_t written = Inode(autosave.Path());
  ASSERT_TRUE(model.EraseAt(371, 296));
  ASSERT_EQ(model.Count(), 2);

  EXPECT_EQ(autosave.Restore(model), Autosave::Restored::Model);
  EXPECT_EQ(model.Count(), 3);
  EXPECT_EQ(Saved(), kept);
  EXPECT_EQ(autosave.SavedCount(), model.ChangeCount());
  EXPECT_TRUE(autosave.Finish(model));
  EXPECT_EQ(Inode(autosave.Path()), written) << "a restored, unchanged model was written again";
}

TEST_F(AutosaveTest, ADamagedAutosaveIsSetAsideAndTheModelLeftAlone)
{
  Autosave autosave(saves);
  const std::string path = autosave.Path();
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  ASSERT_TRUE(model.Save(path));
  const uintmax_t whole = fs::file_size(path);
  fs::resize_file(path, whole - 100);
  const std::vector<char> damaged = ReadAll(path);
  ASSERT_TRUE(model.EraseAt(371, 296));
  const uint64_t count = model.ChangeCount();

  testing::internal::CaptureStderr();
  EXPECT_EQ(autosave.Restore(model), Autosave::Restored::SetAside);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(StoreTestSupport::Lines(said), 1) << said;
  EXPECT_NE(said.find(path + ".damaged"), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(ReadAll(path + ".damaged"), damaged);
  EXPECT_EQ(model.Count(), 1);
  EXPECT_EQ(model.ChangeCount(), count);
  // Closing without a change writes nothing in its place.
  EXPECT_TRUE(autosave.Finish(model));
  EXPECT_FALSE(fs::exists(path));

  // A second damaged file does not replace the first one set aside.
  std::ofstream(path) << "not a model";
  testing::internal::CaptureStderr();
  EXPECT_EQ(autosave.Restore(model), Autosave::Restored::SetAside);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadAll(path + ".damaged"), damaged);
  EXPECT_EQ(ReadAll(path + ".damaged.2").size(), 11u);
  EXPECT_EQ(Autosave::FreeDamagedName(path), path + ".damaged.3");
}

TEST_F(AutosaveTest, AFolderThatCannotBeWrittenIsReportedAndTheModelKept)
{
  std::ofstream(folder.File("file")) << "x";
  const SaveFolder blocked(folder.File("file/vextorn"));
  Autosave autosave(blocked, 1000);
  autosave.Begin(model);
  BuildSample();
  const uint64_t count = model.ChangeCount();

  testing::internal::CaptureStderr();
  autosave.Tick(model, 0);
  autosave.Tick(model, 1000);
  autosave.Tick(model, 1500);
  autosave.Wait();
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(StoreTestSupport::Lines(said), 1) << "one line per try, and one try per interval: " << said;
  EXPECT_NE(said.find(folder.File("file/vextorn")), std::string::npos) << said;

  testing::internal::CaptureStderr();
  EXPECT_FALSE(autosave.Finish(model));
  said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(StoreTestSupport::Lines(said), 1) << said;
  EXPECT_EQ(model.Count(), 3);
  EXPECT_EQ(model.ChangeCount(), count);
}

// Writes cut short leave temporary files: old ones are removed, a recent one
// (another toy may be writing it) and every other file are left alone.
TEST_F(AutosaveTest, OldUnfinishedWritesAreRemovedAndNothingElse)
{
  const auto write = [](const std::string &path) { std::ofstream(path, std::ios::binary) << "partial"; };
  const auto age = [](const std::string &path, int seconds) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds));
  };
  const std::string stale = folder.File("autosave.data.Ab12Cd");
  const std::string recent = folder.File("autosave.data.Xy34Zw");
  const std::string damaged = folder.File("autosave.data.damaged");
  const std::string other = folder.File("demo.data.Ab12Cd");
  const std::string saved = folder.File("autosave.data");
  for(const std::string &path : {stale, recent, damaged, other, saved})
  {
    write(path);
    age(path, 3600);
  }
  age(recent, 5);

  Autosave autosave(saves);
  EXPECT_EQ(autosave.RemoveLeftovers(), 1);
  EXPECT_FALSE(std::filesystem::exists(stale));
  for(const std::string &path : {recent, damaged, other, saved})
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
  // A folder that is not there yet has nothing to remove.
  SaveFolder missing{folder.path + "/not-yet"};
  EXPECT_EQ(Autosave(missing).RemoveLeftovers(), 0);
}
