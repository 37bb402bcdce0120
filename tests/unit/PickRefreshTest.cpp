// The pick buffer refreshed on a helper thread while the frame is drawn: the
// helper job itself, what readers see while and after it runs, and the order
// in which the frame reaches the renderer.

#include "ModelTestSupport.h"

#include "model/BackgroundJob.h"

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {
  // Every record of the pick buffer, as one comparable list.
  struct RecordCopy {
    float depth;
    const CubeMesh *mesh;
    const CubeFace *face;
    int triangle;
    int faceIndex;
    int textureSize;
    bool operator==(const RecordCopy &) const = default;
  };

  std::vector<RecordCopy> CopyRecords(const VoxelModel &model)
  {
    const PickBuffer &picks = model.Picks();
    std::vector<RecordCopy> copy;
    const PickRecord *records = picks.Data();
    for(size_t i = 0; i < static_cast<size_t>(picks.Width()) * picks.Height(); ++i)
      copy.push_back({records[i].depth, records[i].mesh, records[i].face, records[i].triangle, records[i].faceIndex,
                      records[i].textureSize});
    return copy;
  }

  class PickRefresh : public ModelTest {
  protected:
    void SetUp() override
    {
      ModelTest::SetUp();
      Turn(40, 25);
      for(int i = 0; i < 12; ++i)
        ASSERT_TRUE(model.AddCube(Vector3(static_cast<float>(i % 4) * 45 - 70, static_cast<float>(i / 4) * 45 - 60,
                                          static_cast<float>(i % 3) * 30 - 30),
                                  RgbColour{static_cast<uint8_t>(20 * i), 90, 200}));
    }

    // Turns the camera and starts the refresh, as a hand drag does.
    void StartTurn(float yaw, float pitch)
    {
      camera.Rotate(yaw, pitch);
      camera.Apply();
      model.StartPickRefresh(device);
    }
  };
}

TEST(BackgroundJob, JobsRunInTurnAndWaitSeesWhatTheyWrote)
{
  std::vector<int> order;
  int total = 0;
  {
    BackgroundJob job;
    EXPECT_FALSE(job.Pending());
    job.Start([&] { order.push_back(1); });
    EXPECT_TRUE(job.Pending());
    // Starting the next job waits for the one before.
    job.Start([&] {
      order.push_back(2);
      for(int i = 1; i <= 1000; ++i)
        total += i;
    });
    job.Wait();
    EXPECT_FALSE(job.Pending());
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(total, 500500);
    // Waiting again (no job) returns at once.
    job.Wait();
  }
}

TEST(BackgroundJob, AJobsExceptionComesOutOfWaitAndTheNextJobStillRuns)
{
  BackgroundJob job;
  job.Start([] { throw std::runtime_error("job failed"); });
  EXPECT_THROW(job.Wait(), std::runtime_error);
  EXPECT_FALSE(job.Pending());
  bool ran = false;
  job.Start([&] { ran = true; });
  job.Wait();
  EXPECT_TRUE(ran);
}

TEST(BackgroundJob, DestroyingItFinishesTheJobInHand)
{
  std::atomic<int> steps{0};
  {
    BackgroundJob job;
    job.Start([&] {
      for(int i = 0; i < 100000; ++i)
        steps.fetch_add(1, std::memory_order_relaxed);
    });
  }
  EXPECT_EQ(steps.load(), 100000);
}

TEST_F(PickRefresh, PicksReadAfterTheStartAreThoseOfTheNewPoseDrawnWhole)
{
  const std::vector<RecordCopy> before = CopyRecords(model);
  const uint64_t revision = model.OutlineOverlay()->Revision();
  StartTurn(-35, 10);
  EXPECT_TRUE(model.PickRefreshPending());
  // Read at once: the reader waits for the whole buffer.
  const std::vector<RecordCopy> started = CopyRecords(model);
  EXPECT_NE(started, before);

  // Drawn again on this thread from the same pose: the same records, the
  // same outlines (the overlay is written once, by the refresh above).
  model.DrawOutlines(device);
  EXPECT_FALSE(model.PickRefreshPending());
  EXPECT_EQ(model.OutlineOverlay()->Revision(), revision + 1);
  model.RefreshPickBuffer(device);
  EXPECT_EQ(CopyRecords(model), started);
  EXPECT_EQ(model.OutlineOverlay()->Revision(), revision + 1);
}

TEST_F(PickRefresh, OneReadingAccessorWaitsForTheBufferAndTheOutlinesAlike)
{
  StartTurn(25, -5);
  // A single record read first, the mask after it: both of the new pose.
  int x = 0;
  int y = 0;
  ASSERT_TRUE(FindPixel([](const PickRecord &record) { return record.textureSize == 64; }, x, y));
  const PickRecord seen = model.RecordAt(x, y);
  std::vector<bool> marks;
  for(int row = 128; row < 464; ++row)
    for(int column = 118; column < 624; ++column)
      marks.push_back(model.Outlines().IsMarked(column, row));

  model.RefreshPickBuffer(device);
  EXPECT_EQ(model.RecordAt(x, y).face, seen.face);
  EXPECT_EQ(model.RecordAt(x, y).depth, seen.depth);
  size_t i = 0;
  for(int row = 128; row < 464; ++row)
    for(int column = 118; column < 624; ++column)
      ASSERT_EQ(model.Outlines().IsMarked(column, row), marks[i++]) << column << "," << row;
}

TEST_F(PickRefresh, AnEditRightAfterATurnActsOnWhatTheNewPoseShows)
{
  StartTurn(60, 0);
  // Where the synchronous refresh of the same pose shows a cube.
  VoxelModel reference;
  VoxelModelSetup setup;
  setup.device = &device;
  ASSERT_TRUE(reference.Init(setup));
  for(int i = 1; i < model.Count(); ++i)
    ASSERT_TRUE(reference.AddCube(model.At(i)->Centre(), RgbColour{}));
  reference.RefreshPickBuffer(device);
  int x = 0;
  int y = 0;
  bool found = false;
  for(y = 128; y < 464 && !found; ++y)
    for(x = 118; x < 624 && !found; ++x)
      found = reference.RecordAt(x, y).textureSize == 64;
  ASSERT_TRUE(found);
  --x;
  --y;
  const int erasedIndex = reference.IndexOf(reference.RecordAt(x, y).mesh);

  // The model's refresh may still be drawing: the erase waits for it.
  model.StartPickRefresh(device);
  const CubeMesh *expected = model.At(erasedIndex);
  const int count = model.Count();
  ASSERT_TRUE(model.EraseAt(x, y));
  EXPECT_EQ(model.Count(), count - 1);
  EXPECT_EQ(model.IndexOf(const_cast<CubeMesh *>(expected)), -1);
}

TEST_F(PickRefresh, TheFrameReachesTheRendererBeforeTheOutlinesWait)
{
  device.Clear(true, true, 0xFFFFFFFF, 1.f);
  model.Render(device);
  StartTurn(-20, 15);
  const size_t batchesBefore = backend->batches.size();
  model.DrawOutlines(device);
  // The room and the cubes were carried out and flushed first; the outline
  // sprite is recorded after them, with the overlay of the new pose.
  EXPECT_EQ(backend->flushes, 1);
  EXPECT_EQ(backend->batches.size(), batchesBefore + 2);
  EXPECT_TRUE(backend->sprites.empty());
  device.PresentFrame();
  ASSERT_EQ(backend->sprites.size(), 1u);
  EXPECT_EQ(backend->sprites[0].texture, model.OutlineOverlay());

  // Without a refresh in flight nothing is carried out early.
  model.Render(device);
  model.DrawOutlines(device);
  EXPECT_EQ(backend->flushes, 1);
  EXPECT_EQ(backend->batches.size(), batchesBefore + 2);
  device.PresentFrame();
}
