#include "ModelTestSupport.h"

#include "model/RoomMesh.h"
#include "res/Texture.h"

#include <csignal>
#include <cstring>
#include <fstream>
#include <limits>
#include <sys/resource.h>
#include <string_view>
#include <vector>

namespace {
  constexpr int64_t RoomOnlySize = 18874384;
  constexpr int64_t RoomAndTwoCubesSize = 19021864;

  std::vector<uint8_t> ReadAll(const std::string &path)
  {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::vector<uint8_t> bytes(error ? 0 : static_cast<size_t>(size));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }

  void WriteAll(const std::string &path, const std::vector<uint8_t> &bytes)
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  void Patch(const std::string &path, int64_t offset, const void *bytes, size_t count)
  {
    std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(offset);
    io.write(static_cast<const char *>(bytes), static_cast<std::streamsize>(count));
  }

  void SetTexel(CubeMesh &mesh, int face, int tx, int ty, const RgbColour &colour)
  {
    DibImage &image = *mesh.FaceTexture(face)->Backing();
    uint8_t *p = image.Data() + (static_cast<size_t>(ty) * image.Width() + tx) * 3;
    p[0] = colour.red;
    p[1] = colour.green;
    p[2] = colour.blue;
  }

  // Everything a load could change: the meshes, their centres and a digest of every texel.
  struct Snapshot {
    std::vector<const CubeMesh *> meshes;
    std::vector<Vector3> centres;
    std::vector<uint64_t> texelSums;

    explicit Snapshot(const VoxelModel &model)
    {
      for(int i = 0; i < model.Count(); ++i)
      {
        const CubeMesh *mesh = model.At(i);
        meshes.push_back(mesh);
        centres.push_back(mesh->Centre());
        for(int f = 0; f < 6; ++f)
        {
          const DibImage &image = *mesh->FaceTexture(f)->Backing();
          const size_t bytes = static_cast<size_t>(image.Width()) * image.Height() * 3;
          texelSums.push_back(
            std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char *>(image.Data()), bytes)));
        }
      }
    }
    bool operator==(const Snapshot &) const = default;
  };

  class ModelFileTest : public ModelTest {
  protected:
    // The room and two cubes, with a few painted texels.
    void BuildSample()
    {
      ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{255, 255, 255}));
      ASSERT_TRUE(model.AddCube(Vector3(15.5f, 40.f, -7.25f), RgbColour{0, 0, 255}));
      SetTexel(*model.At(1), 4, 3, 6, RgbColour{255, 0, 0});
      SetTexel(*model.At(0), 5, 1023, 1023, RgbColour{1, 2, 3});
      SetTexel(*model.At(2), 0, 63, 0, RgbColour{9, 8, 7});
    }

    ModelFileFolder folder;
  };
}

TEST_F(ModelFileTest, ARoomAloneSavesAsCountAndOneRecord)
{
  const std::string path = folder.File("room.data");
  ASSERT_TRUE(model.Save(path));
  const std::vector<uint8_t> bytes = ReadAll(path);
  ASSERT_EQ(static_cast<int64_t>(bytes.size()), RoomOnlySize);
  const uint8_t head[16] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(bytes.data(), head, sizeof head));
  EXPECT_EQ(bytes[16], 255);
  EXPECT_EQ(bytes.back(), 255);
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), std::filesystem::directory_iterator()), 1);
}

TEST_F(ModelFileTest, SavedBytesFollowTheRecordLayout)
{
  BuildSample();
  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));
  const std::vector<uint8_t> bytes = ReadAll(path);
  ASSERT_EQ(static_cast<int64_t>(bytes.size()), RoomAndTwoCubesSize);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[1] | bytes[2] | bytes[3], 0);

  const size_t cube1 = 4 + 18874380;
  const size_t cube2 = cube1 + 73740;
  float centre[3];
  std::memcpy(centre, &bytes[cube2], sizeof centre);
  EXPECT_EQ(Vector3(centre[0], centre[1], centre[2]), Vector3(15.5f, 40.f, -7.25f));

  const size_t painted = cube1 + 12 + 4 * 12288 + (6 * 64 + 3) * 3;
  EXPECT_EQ(bytes[painted], 0xFF);
  EXPECT_EQ(bytes[painted + 1], 0x00);
  EXPECT_EQ(bytes[painted + 2], 0x00);
  EXPECT_EQ(bytes[painted + 3], 0xFF);
  const size_t roomCorner = 4 + 12 + 5 * 1024 * 1024 * 3 + (1023 * 1024 + 1023) * 3;
  EXPECT_EQ(bytes[roomCorner], 1);
  EXPECT_EQ(bytes[roomCorner + 2], 3);
  const size_t blueCorner = cube2 + 12 + 63 * 3;
  EXPECT_EQ(bytes[blueCorner], 9);
  EXPECT_EQ(bytes[blueCorner + 3], 0);
  EXPECT_EQ(bytes[blueCorner + 5], 255);
}

TEST_F(ModelFileTest, SaveThenLoadReproducesTheModel)
{
  Turn(45, 30);
  BuildSample();
  model.RefreshPickBuffer(device);
  const Snapshot saved(model);
  std::vector<std::pair<int, int>> picks;
  for(int i = 0; i < 640 * 480; ++i)
  {
    const PickRecord r = model.Picks().At(i % 640, i / 640);
    picks.push_back({r.mesh ? model.IndexOf(r.mesh) : -1, r.mesh ? r.faceIndex : -1});
  }
  const auto outlineMarks = [this] {
    std::vector<bool> marks;
    for(int i = 0; i < 640 * 480; ++i)
      marks.push_back(model.Outlines().IsMarked(i % 640, i / 640));
    return marks;
  };
  const std::vector<bool> outlines = outlineMarks();
  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));

  // Change the model: an extra cube, a painted texel, one cube fewer.
  ASSERT_TRUE(model.AddCube(Vector3(100, 0, 0), RgbColour{}));
  SetTexel(*model.At(0), 0, 0, 0, RgbColour{5, 5, 5});
  ASSERT_TRUE(model.RemoveCube(model.At(1)));
  model.RefreshPickBuffer(device);
  ASSERT_NE(outlineMarks(), outlines);

  ASSERT_TRUE(model.Load(path));
  const Snapshot loaded(model);
  EXPECT_EQ(loaded.centres, saved.centres);
  EXPECT_EQ(loaded.texelSums, saved.texelSums);
  ASSERT_EQ(model.Count(), 3);
  EXPECT_NE(dynamic_cast<const RoomMesh *>(model.At(0)), nullptr);
  EXPECT_EQ(model.At(1)->TextureSize(), 64);
  // The device textures hold what was read.
  std::vector<uint32_t> texels(64 * 64);
  model.At(1)->FaceTexture(4)->Get()->Read(texels.data());
  EXPECT_EQ(texels[6 * 64 + 3], 0xFFFF0000u);
  EXPECT_EQ(texels[6 * 64 + 4], 0xFFFFFFFFu);
  // The pick buffer was rebuilt for the loaded meshes.
  for(int i = 0; i < 640 * 480; ++i)
  {
    const PickRecord r = model.Picks().At(i % 640, i / 640);
    ASSERT_EQ(std::make_pair(r.mesh ? model.IndexOf(r.mesh) : -1, r.mesh ? r.faceIndex : -1), picks[i]) << i;
  }
  // The outlines follow the redrawn pick buffer, asked for before any frame.
  EXPECT_EQ(outlineMarks(), outlines);
}

TEST_F(ModelFileTest, ARoomStoredElsewhereIsBuiltAroundItsStoredCentre)
{
  BuildSample();
  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));
  const float x = 40.f;
  Patch(path, 4, &x, sizeof x);
  const CubeMesh *oldRoom = model.At(0);
  ASSERT_TRUE(model.Load(path));
  ASSERT_EQ(model.Count(), 3);
  EXPECT_NE(dynamic_cast<const RoomMesh *>(model.At(0)), nullptr);
  EXPECT_EQ(model.At(0)->Centre(), Vector3(40, 0, 0));
  EXPECT_EQ(model.At(0)->Face(0).CornerPosition(0), Vector3(-280, -320, -320));
  const uint8_t *corner = model.At(0)->FaceTexture(5)->Backing()->Data() + (1023 * 1024 + 1023) * 3;
  EXPECT_EQ(corner[0], 1);
  EXPECT_EQ(corner[2], 3);
  // The file's room replaced the old one; loading the same file again keeps it.
  const CubeMesh *newRoom = model.At(0);
  EXPECT_NE(newRoom, oldRoom);
  ASSERT_TRUE(model.Load(path));
  EXPECT_EQ(model.At(0), newRoom);
  EXPECT_NE(model.RecordAt(371, 296).mesh, nullptr);
}

TEST_F(ModelFileTest, EveryDamagedFileIsRefusedAndTheModelKept)
{
  BuildSample();
  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));
  ASSERT_TRUE(model.AddCube(Vector3(-60, 0, 0), RgbColour{}));
  model.RefreshPickBuffer(device);
  const Snapshot before(model);
  const PickRecord centreRecord = model.RecordAt(371, 296);

  auto expectRefused = [&](const char *what) {
    SCOPED_TRACE(what);
    EXPECT_FALSE(model.Load(path));
    EXPECT_TRUE(Snapshot(model) == before);
    EXPECT_EQ(model.RecordAt(371, 296).mesh, centreRecord.mesh);
    EXPECT_EQ(model.RecordAt(371, 296).face, centreRecord.face);
  };

  EXPECT_FALSE(model.Load(folder.File("missing.data")));
  EXPECT_TRUE(Snapshot(model) == before);

  const auto size = static_cast<uintmax_t>(RoomAndTwoCubesSize);
  const std::vector<uint8_t> original = ReadAll(path);
  std::filesystem::resize_file(path, size - 1);
  expectRefused("one byte short");
  std::filesystem::resize_file(path, size + 1);
  expectRefused("one byte too many");
  std::filesystem::resize_file(path, 4 + 18874380 + 73740);
  expectRefused("count says three, records hold two");
  std::filesystem::resize_file(path, 2);
  expectRefused("no whole count");
  WriteAll(path, original);

  for(int32_t count : {0, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 2, 4})
  {
    Patch(path, 0, &count, sizeof count);
    expectRefused(("count " + std::to_string(count)).c_str());
  }
  const int32_t three = 3;
  Patch(path, 0, &three, sizeof three);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const int64_t lastCentre = 4 + 18874380 + 73740;
  Patch(path, lastCentre + 8, &nan, sizeof nan);
  expectRefused("NaN in the last cube's centre");
  Patch(path, lastCentre + 8, &original[lastCentre + 8], 4);
  Patch(path, 4, &inf, sizeof inf);
  expectRefused("infinite room centre");
  Patch(path, 4, &original[4], 4);

  // The repaired file loads.
  ASSERT_EQ(ReadAll(path), original);
  EXPECT_TRUE(model.Load(path));
  EXPECT_EQ(model.Count(), 3);
}

TEST_F(ModelFileTest, ASaveThatCannotBeWrittenKeepsTheOldFile)
{
  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));
  const std::vector<uint8_t> old = ReadAll(path);

  // A folder that does not exist, and one that is a file.
  EXPECT_FALSE(model.Save(folder.File("no-such-folder/demo.data")));
  EXPECT_FALSE(model.Save(path + "/demo.data"));

  // Writes that fail part way: the process may not grow a file past 1 MB.
  BuildSample();
  rlimit saved = {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1 << 20;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = model.Save(path);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), std::filesystem::directory_iterator()), 1);

  // With room to write, the same save replaces the file.
  ASSERT_TRUE(model.Save(path));
  EXPECT_EQ(static_cast<int64_t>(std::filesystem::file_size(path)), RoomAndTwoCubesSize);
}

TEST_F(ModelFileTest, AnEmptyModelIsNotSaved)
{
  const std::string path = folder.File("demo.data");
  ASSERT_TRUE(model.Save(path));
  model.Clear();
  EXPECT_FALSE(model.Save(path));
  EXPECT_EQ(static_cast<int64_t>(std::filesystem::file_size(path)), RoomOnlySize);
  // Loading brings the room back.
  EXPECT_TRUE(model.Load(path));
  EXPECT_EQ(model.Count(), 1);
}

TEST_F(ModelFileTest, ASmallerRoomForTestsSavesAndLoadsByTheSameRulesAndAModelOfAnotherRoomIsRefused)
{
  // A room of 4 by 4 texels per face: 12 + 6 * 4 * 4 * 3 bytes of record.
  VoxelModel small;
  VoxelModelSetup setup;
  setup.device = &device;
  setup.roomTextureSize = 4;
  ASSERT_TRUE(small.Init(setup));
  ASSERT_TRUE(small.AddCube(Vector3(20.f, 0.f, 0.f), RgbColour{0, 255, 0}));
  SetTexel(*small.At(0), 2, 3, 3, RgbColour{7, 7, 7});
  EXPECT_EQ(small.FileBytes(2), 4 + 300 + VoxelModel::CubeRecordBytes);
  EXPECT_EQ(model.FileBytes(1), RoomOnlySize);

  const std::string path = folder.File("small.data");
  ASSERT_TRUE(small.Save(path));
  ASSERT_EQ(static_cast<int64_t>(ReadAll(path).size()), small.FileBytes(2));
  VoxelModel again;
  ASSERT_TRUE(again.Init(setup));
  ASSERT_TRUE(again.Load(path));
  EXPECT_EQ(Snapshot(again).texelSums, Snapshot(small).texelSums);
  EXPECT_EQ(again.At(0)->TextureSize(), 4);

  // The toy's model takes no file of the small room, and the other way round.
  const Snapshot before(model);
  VoxelModel::LoadProblem problem = VoxelModel::LoadProblem::None;
  std::string reason;
  EXPECT_FALSE(model.Load(path, problem, reason));
  EXPECT_EQ(problem, VoxelModel::LoadProblem::Damaged);
  EXPECT_TRUE(Snapshot(model) == before);
  ASSERT_TRUE(model.Save(folder.File("room.data")));
  EXPECT_FALSE(again.Load(folder.File("room.data"), problem, reason));

  // A room size that cannot be told from a cube's, or none, is refused.
  for(int size : {0, CubeMesh::CubeTextureSize, RoomMesh::RoomTextureSize + 1})
  {
    VoxelModel refused;
    setup.roomTextureSize = size;
    EXPECT_FALSE(refused.Init(setup)) << size;
  }
}
