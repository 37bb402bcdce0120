// The model's face batches, face textures and outline overlay: what the
// device draws must stay in step with the meshes and the pick buffer.

#include "ModelTestSupport.h"

#include "gfx/LayerPool.h"
#include "model/RoomMesh.h"
#include "res/Texture.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

namespace {
  // The quads the meshes of `model` stand for in the batch of the given
  // texture size, in list order, built from the meshes' own corners.
  std::vector<BatchVertex> ExpectedQuads(const VoxelModel &model, int textureSize)
  {
    std::vector<BatchVertex> quads;
    for(int i = 0; i < model.Count(); ++i)
    {
      const CubeMesh &mesh = *model.At(i);
      if(mesh.TextureSize() != textureSize)
        continue;
      for(int f = 0; f < 6; ++f)
        for(int c = 0; c < 4; ++c)
        {
          const CubeVertex &corner = mesh.Face(f).Corner(c);
          BatchVertex v;
          v.x = corner.x;
          v.y = corner.y;
          v.z = corner.z;
          v.diffuse = corner.diffuse;
          v.u = corner.u;
          v.v = corner.v;
          v.layer = static_cast<float>(mesh.FaceTexture(f)->Get()->Layer());
          quads.push_back(v);
        }
    }
    return quads;
  }

  // Every vertex of the batch equals the meshes' (bit for bit, order kept),
  // and every face texture lives in the batch's pool.
  void ExpectMirrors(const VoxelModel &model, const FaceBatch *batch, int textureSize)
  {
    ASSERT_NE(batch, nullptr);
    const std::vector<BatchVertex> expected = ExpectedQuads(model, textureSize);
    ASSERT_EQ(static_cast<size_t>(batch->QuadCount()) * 4, expected.size());
    for(size_t i = 0; i < expected.size(); ++i)
    {
      const BatchVertex &got = batch->Vertices()[i];
      ASSERT_EQ(std::memcmp(&got, &expected[i], sizeof got), 0)
        << "vertex " << i << ": " << got.x << "," << got.y << "," << got.z << " layer " << got.layer;
    }
    for(int i = 0; i < model.Count(); ++i)
    {
      if(model.At(i)->TextureSize() != textureSize)
        continue;
      for(int f = 0; f < 6; ++f)
        ASSERT_EQ(model.At(i)->FaceTexture(f)->Get()->Pool(), &batch->Pool());
    }
  }

  void ExpectBatchesMirror(const VoxelModel &model)
  {
    {
      SCOPED_TRACE("room batch");
      ExpectMirrors(model, model.RoomBatch(), RoomMesh::RoomTextureSize);
    }
    {
      SCOPED_TRACE("cube batch");
      ExpectMirrors(model, model.CubeBatch(), CubeMesh::CubeTextureSize);
    }
  }

  // The texel (x, y) of a face's device texture.
  uint32_t DeviceTexel(const CubeMesh &mesh, int face, int x, int y)
  {
    const DeviceTexture &texture = *mesh.FaceTexture(face)->Get();
    std::vector<uint32_t> texels(static_cast<size_t>(texture.Width()) * texture.Height());
    EXPECT_TRUE(texture.Read(texels.data()));
    return texels[static_cast<size_t>(y) * texture.Width() + x];
  }

  // Every face texture of the mesh holds its image's texels where it keeps
  // them (the first `kept` columns and rows and the last ones) and 0 elsewhere.
  void ExpectKeptTexelsMatchImages(const CubeMesh &mesh)
  {
    const int size = mesh.TextureSize();
    const int kept = CubeMesh::KeptTexels(size);
    auto isKept = [&](int c) { return c < kept || c == size - 1; };
    for(int f = 0; f < 6; ++f)
    {
      SCOPED_TRACE(f);
      const DeviceTexture &texture = *mesh.FaceTexture(f)->Get();
      ASSERT_EQ(texture.Width(), size);
      std::vector<uint32_t> texels(static_cast<size_t>(size) * size);
      ASSERT_TRUE(texture.Read(texels.data()));
      const DibImage &image = *mesh.FaceTexture(f)->Backing();
      for(int y = 0; y < size; ++y)
        for(int x = 0; x < size; ++x)
        {
          const uint8_t *p = image.Data() + (static_cast<size_t>(y) * size + x) * 3;
          const uint32_t expected = isKept(x) && isKept(y) ? 0xFF000000u | uint32_t(p[0]) << 16 |
                                                                uint32_t(p[1]) << 8 | p[2]
                                                          : 0u;
          ASSERT_EQ(texels[static_cast<size_t>(y) * size + x], expected) << x << "," << y;
        }
    }
  }

  // The overlay's texels as the device holds them.
  std::vector<uint32_t> OverlayTexels(const VoxelModel &model)
  {
    const DeviceTexture &overlay = *model.OutlineOverlay();
    std::vector<uint32_t> texels(static_cast<size_t>(overlay.Width()) * overlay.Height());
    EXPECT_TRUE(overlay.Read(texels.data()));
    return texels;
  }

  // The overlay (the model area and the column left of it) is opaque black
  // exactly where a marked pixel or its right neighbour is, and clear
  // elsewhere; returns the black texels.
  int ExpectOverlayMatchesMask(VoxelModel &model)
  {
    const std::vector<uint32_t> texels = OverlayTexels(model);
    EXPECT_EQ(texels.size(), 507u * 336u);
    int black = 0;
    for(int r = 0; r < 336; ++r)
      for(int c = 0; c < 507; ++c)
      {
        const int x = 117 + c, y = 128 + r;
        const bool blackened = model.Outlines().IsMarked(x, y) || model.Outlines().IsMarked(x + 1, y);
        if(texels[static_cast<size_t>(r) * 507 + c] != (blackened ? 0xFF000000u : 0u))
        {
          ADD_FAILURE() << "overlay texel for " << x << "," << y;
          return black;
        }
        black += blackened;
      }
    return black;
  }

  class ModelBatchTest : public ModelTest {
  protected:
    // Paints the image texel (tx, ty) of a face and uploads it, as the pen does.
    void Paint(CubeMesh &mesh, int face, int tx, int ty, const RgbColour &colour)
    {
      Texture &texture = *mesh.FaceTexture(face);
      uint8_t *p = texture.Backing()->Data() + (static_cast<size_t>(ty) * texture.Backing()->Width() + tx) * 3;
      p[0] = colour.red;
      p[1] = colour.green;
      p[2] = colour.blue;
      ASSERT_TRUE(texture.Upload(device, tx, ty, 1, 1));
    }

    ModelFileFolder folder;
  };
}

TEST(KeptTexels, CoverWhatCoordinatesUpToATenthSample)
{
  EXPECT_EQ(CubeMesh::KeptTexels(64), 7);
  EXPECT_EQ(CubeMesh::KeptTexels(1024), 103);
}

TEST_F(ModelBatchTest, BatchesFollowTheListThroughAddsAndErasesAnywhere)
{
  ExpectBatchesMirror(model);
  EXPECT_EQ(model.RoomBatch()->QuadCount(), 6);
  EXPECT_EQ(model.CubeBatch()->QuadCount(), 0);

  for(int i = 0; i < 6; ++i)
    ASSERT_TRUE(model.AddCube(Vector3(40.f * i, 0, 0), RgbColour{static_cast<uint8_t>(i * 40), 0, 0}));
  ExpectBatchesMirror(model);
  ASSERT_EQ(model.CubeBatch()->QuadCount(), 36);

  // An erase touches only the quads from the erased mesh's on, and not the room.
  FaceBatch &cubes = const_cast<FaceBatch &>(*model.CubeBatch());
  const uint64_t roomRevision = model.RoomBatch()->Revision();
  const struct {
    const char *name;
    int index;
  } erases[] = {{"middle", 3}, {"first", 1}, {"last", 4}};
  for(const auto &erase : erases)
  {
    SCOPED_TRACE(erase.name);
    cubes.TakeChangedFrom();
    const int quadsBefore = cubes.QuadCount();
    ASSERT_TRUE(model.RemoveCube(model.At(erase.index)));
    ExpectBatchesMirror(model);
    EXPECT_EQ(cubes.QuadCount(), quadsBefore - 6);
    EXPECT_EQ(cubes.TakeChangedFrom(), std::min((erase.index - 1) * 6, cubes.QuadCount()));
  }
  EXPECT_EQ(model.RoomBatch()->Revision(), roomRevision);
  EXPECT_EQ(model.Count(), 4);

  // Calls through the list's own interface keep the batches in step too.
  PointerList<CubeMesh> &list = model;
  auto cube = std::make_unique<CubeMesh>();
  ASSERT_TRUE(cube->Build(device, Vector3(0, 80, 0), 20.f, RgbColour{1, 2, 3}));
  list.Add(cube.release());
  ExpectBatchesMirror(model);
  list.RemoveAt(2);
  ExpectBatchesMirror(model);

  model.Clear();
  EXPECT_EQ(model.RoomBatch()->QuadCount(), 0);
  EXPECT_EQ(model.CubeBatch()->QuadCount(), 0);
}

TEST_F(ModelBatchTest, RenderDrawsTheRoomBatchThenTheCubeBatchOnly)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  ASSERT_TRUE(model.AddCube(Vector3(40, 0, 0), RgbColour{}));
  model.Render(device);
  device.ExecutePending();
  ASSERT_EQ(backend->batches.size(), 2u);
  EXPECT_EQ(backend->batches[0], model.RoomBatch());
  EXPECT_EQ(backend->batches[1], model.CubeBatch());
  EXPECT_EQ(backend->BatchQuads(), 18);
  EXPECT_EQ(backend->TriangleFanDraws(), 0);
}

TEST_F(ModelBatchTest, LoadRebuildsTheBatchesAndARefusedLoadLeavesThemAlone)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{255, 0, 0}));
  ASSERT_TRUE(model.AddCube(Vector3(40, 0, 0), RgbColour{0, 255, 0}));
  ASSERT_TRUE(model.AddCube(Vector3(0, 40, 0), RgbColour{0, 0, 255}));
  const std::string path = folder.File("three.data");
  ASSERT_TRUE(model.Save(path));

  // Loaded over a different model: the kept room and three new cubes.
  ASSERT_TRUE(model.RemoveCube(model.At(2)));
  ASSERT_TRUE(model.AddCube(Vector3(200, 0, 0), RgbColour{}));
  ASSERT_TRUE(model.AddCube(Vector3(240, 0, 0), RgbColour{}));
  ASSERT_TRUE(model.AddCube(Vector3(280, 0, 0), RgbColour{}));
  const CubeMesh *room = model.At(0);
  ASSERT_TRUE(model.Load(path));
  ASSERT_EQ(model.Count(), 4);
  EXPECT_EQ(model.At(0), room);
  EXPECT_EQ(model.At(3)->Centre(), Vector3(0, 40, 0));
  ExpectBatchesMirror(model);

  // A damaged file changes neither the meshes nor a vertex of the batches.
  const std::vector<BatchVertex> roomBefore(model.RoomBatch()->Vertices(),
                                            model.RoomBatch()->Vertices() + model.RoomBatch()->QuadCount() * 4);
  const std::vector<BatchVertex> cubesBefore(model.CubeBatch()->Vertices(),
                                             model.CubeBatch()->Vertices() + model.CubeBatch()->QuadCount() * 4);
  const uint64_t roomRevision = model.RoomBatch()->Revision();
  const uint64_t cubeRevision = model.CubeBatch()->Revision();
  {
    std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    io.seekp(VoxelModel::CountBytes + VoxelModel::RoomRecordBytes + 2 * VoxelModel::CubeRecordBytes);
    io.write(reinterpret_cast<const char *>(&nan), sizeof nan);
  }
  EXPECT_FALSE(model.Load(path));
  EXPECT_EQ(model.RoomBatch()->Revision(), roomRevision);
  EXPECT_EQ(model.CubeBatch()->Revision(), cubeRevision);
  ASSERT_EQ(model.CubeBatch()->QuadCount() * 4, static_cast<int>(cubesBefore.size()));
  EXPECT_EQ(std::memcmp(model.CubeBatch()->Vertices(), cubesBefore.data(), cubesBefore.size() * sizeof(BatchVertex)),
            0);
  EXPECT_EQ(std::memcmp(model.RoomBatch()->Vertices(), roomBefore.data(), roomBefore.size() * sizeof(BatchVertex)),
            0);
  ExpectBatchesMirror(model);

  // A room stored elsewhere is built anew, in its own layers.
  const float moved[3] = {0.f, 8.f, 0.f};
  {
    std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(VoxelModel::CountBytes);
    io.write(reinterpret_cast<const char *>(moved), sizeof moved);
    const float fine = 0.f;
    io.seekp(VoxelModel::CountBytes + VoxelModel::RoomRecordBytes + 2 * VoxelModel::CubeRecordBytes);
    io.write(reinterpret_cast<const char *>(&fine), sizeof fine);
  }
  ASSERT_TRUE(model.Load(path));
  EXPECT_NE(model.At(0), room);
  EXPECT_EQ(model.At(0)->Centre(), Vector3(0, 8, 0));
  ExpectBatchesMirror(model);
  // The old room's layers went back to the pool.
  EXPECT_EQ(model.RoomBatch()->Pool().LiveLayers(), 6);
  EXPECT_EQ(model.CubeBatch()->Pool().LiveLayers(), 18);
}

TEST_F(ModelBatchTest, FaceTexturesKeepTheirCornerAfterPaintingAndLoading)
{
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{10, 20, 30}));
  CubeMesh &cube = *model.At(1);
  CubeMesh &room = *model.At(0);
  ExpectKeptTexelsMatchImages(cube);

  // A kept texel shows the paint on the device; one beyond the corner is
  // painted in the image only.
  Paint(cube, 2, 6, 0, RgbColour{255, 0, 0});
  Paint(cube, 2, 7, 0, RgbColour{0, 255, 0});
  Paint(room, 4, 102, 3, RgbColour{0, 0, 255});
  Paint(room, 4, 1023, 1023, RgbColour{1, 1, 1});
  EXPECT_EQ(DeviceTexel(cube, 2, 6, 0), 0xFFFF0000u);
  EXPECT_EQ(DeviceTexel(cube, 2, 7, 0), 0u);
  EXPECT_EQ(DeviceTexel(room, 4, 102, 3), 0xFF0000FFu);
  EXPECT_EQ(DeviceTexel(room, 4, 1023, 1023), 0xFF010101u);
  // In the pool the last column and row sit at the layer's last ones.
  const LayerPool &roomPool = model.RoomBatch()->Pool();
  const int roomLayer = room.FaceTexture(4)->Get()->Layer();
  EXPECT_EQ(roomPool.LayerSize(), 128);
  EXPECT_EQ(roomPool.Texels(roomLayer)[127 * roomPool.Pitch() + 127], 0xFF010101u);
  EXPECT_EQ(roomPool.Texels(roomLayer)[3 * roomPool.Pitch() + 102], 0xFF0000FFu);
  ExpectKeptTexelsMatchImages(cube);

  // Loaded texels reach the device's corner of every face, room and cube.
  const std::string path = folder.File("painted.data");
  ASSERT_TRUE(model.Save(path));
  for(int f = 0; f < 6; ++f)
  {
    Paint(cube, f, 1, 1, RgbColour{9, 9, 9});
    Paint(room, f, 50, 60, RgbColour{9, 9, 9});
  }
  ASSERT_TRUE(model.Load(path));
  ASSERT_EQ(model.Count(), 2);
  EXPECT_EQ(DeviceTexel(*model.At(1), 2, 6, 0), 0xFFFF0000u);
  EXPECT_EQ(DeviceTexel(*model.At(1), 0, 1, 1), 0xFF0A141Eu);
  EXPECT_EQ(DeviceTexel(*model.At(0), 4, 102, 3), 0xFF0000FFu);
  EXPECT_EQ(DeviceTexel(*model.At(0), 1, 50, 60), 0xFFFFFFFFu);
  ExpectKeptTexelsMatchImages(*model.At(0));
  ExpectKeptTexelsMatchImages(*model.At(1));
}

TEST_F(ModelBatchTest, OverlayIsTheMaskWithEachMarkAndItsLeftNeighbourBlack)
{
  Turn(45, 30);
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  ASSERT_TRUE(model.AddCube(Vector3(40, 0, 0), RgbColour{}));
  const DeviceTexture &overlay = *model.OutlineOverlay();
  ASSERT_EQ(overlay.Width(), 507);
  ASSERT_EQ(overlay.Height(), 336);
  EXPECT_GT(ExpectOverlayMatchesMask(model), 200);
  // Marks on the area's left edge blacken the column outside it.
  bool leftColumn = false;
  for(int y = 128; y < 464; ++y)
    leftColumn = leftColumn || model.Outlines().IsMarked(118, y);
  EXPECT_TRUE(leftColumn);
  EXPECT_EQ(OverlayTexels(model)[0] == 0xFF000000u, model.Outlines().IsMarked(118, 128));
}

TEST_F(ModelBatchTest, OverlayIsRewrittenOnlyWhenThePickBufferChangesIt)
{
  model.RefreshPickBuffer(device);
  const DeviceTexture &overlay = *model.OutlineOverlay();
  const uint64_t first = overlay.Revision();
  EXPECT_EQ(first, 1u);

  // The same view again, and frames of outlines: nothing is written.
  model.RefreshPickBuffer(device);
  for(int i = 0; i < 3; ++i)
    model.DrawOutlines(device);
  EXPECT_EQ(overlay.Revision(), first);

  // A new cube changes the outlines: one write of the whole overlay.
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  EXPECT_EQ(overlay.Revision(), first + 1);
  const std::vector<uint32_t> withCube = OverlayTexels(model);
  // A turn's pick buffer is drawn beside the frame: its outlines are
  // written when the frame draws them.
  Turn(30, 0);
  EXPECT_EQ(overlay.Revision(), first + 1);
  model.DrawOutlines(device);
  EXPECT_EQ(overlay.Revision(), first + 2);
  EXPECT_NE(OverlayTexels(model), withCube);

  // A cube removed through the list (no refresh) still changes what is drawn.
  const std::vector<uint32_t> turned = OverlayTexels(model);
  PointerList<CubeMesh> &list = model;
  list.RemoveAt(1);
  model.DrawOutlines(device);
  EXPECT_EQ(overlay.Revision(), first + 3);
  ExpectOverlayMatchesMask(model);
  EXPECT_NE(OverlayTexels(model), turned);
}

TEST_F(ModelBatchTest, OutlinesAreOneFullScreenSpriteAndTheViewportIsPutBack)
{
  Turn(45, 30);
  ASSERT_TRUE(model.AddCube(Vector3(0, 0, 0), RgbColour{}));
  const Viewport modelArea{118, 128, 506, 336, 0.f, 1.f};
  ASSERT_EQ(device.GetViewport(), modelArea);
  model.DrawOutlines(device);
  EXPECT_EQ(device.GetViewport(), modelArea);
  device.ExecutePending();

  ASSERT_EQ(backend->sprites.size(), 1u);
  const RecordingBackend::SpriteDraw &draw = backend->sprites[0];
  EXPECT_EQ(draw.texture, model.OutlineOverlay());
  const SpriteQuad &quad = draw.quad;
  EXPECT_EQ(quad.left, 117.f);
  EXPECT_EQ(quad.top, 128.f);
  EXPECT_EQ(quad.right, 624.f);
  EXPECT_EQ(quad.bottom, 464.f);
  EXPECT_EQ(quad.u0, 0.f);
  EXPECT_EQ(quad.v0, 0.f);
  EXPECT_EQ(quad.u1, 1.f);
  EXPECT_EQ(quad.v1, 1.f);
  EXPECT_EQ(quad.colour, 0xFFFFFFFFu);
  EXPECT_FALSE(quad.smooth);
  EXPECT_EQ(quad.blend, SpriteBlend::Alpha);
  EXPECT_EQ(quad.viewport, (Viewport{0, 0, 640, 480, 0.f, 1.f}));
}
