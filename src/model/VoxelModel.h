#pragma once

#include "base/PointerList.h"
#include "base/ScreenLayout.h"
#include "gfx/DeviceTexture.h"
#include "gfx/FaceBatch.h"
#include "gfx/PixelRect.h"
#include "gfx/Vector2.h"
#include "gfx/Vector3.h"
#include "model/CubeCopy.h"
#include "model/CubeMesh.h"
#include "model/OutlineMask.h"
#include "model/PaintedTexel.h"
#include "model/PickBuffer.h"
#include "model/RoomMesh.h"
#include "res/RgbColour.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class GraphicsDevice;
class Surface;
class Texture;

// What VoxelModel::Init needs: the device (not owned), the cubes' half-size,
// the size of the pick buffer (the screen) and the active rectangle.
struct VoxelModelSetup {
  GraphicsDevice *device = nullptr;
  float halfSize = 20.f;
  int bufferWidth = ScreenLayout::Width;
  int bufferHeight = ScreenLayout::Height;
  int left = ScreenLayout::ModelLeft;
  int top = ScreenLayout::ModelTop;
  int width = ScreenLayout::ModelWidth;
  int height = ScreenLayout::ModelHeight;
  // Texels along each edge of the room's faces. Only tests make it smaller
  // (a model file with the real room is 18 MB); it must differ from the
  // cubes' size, by which the two are told apart.
  int roomTextureSize = RoomMesh::RoomTextureSize;
};

// The model the child builds: an ordered list of meshes that it owns, the
// room first and then the cubes in placing order; the pick buffer that says
// which face is seen at each screen pixel, and the outline mask drawn from it.
// The meshes' faces are mirrored, in list order, as quads of two face batches
// (the room's and the cubes'), which is how the model is drawn; the outlines
// are an overlay texture, rewritten only when a refresh of the pick buffer
// changed them.
// Every editing operation takes a screen pixel and ignores pixels outside the
// active rectangle; editing operations return true when they changed
// something and leave the model as it was when they return false.
// Every change (a painted texel, a mesh added or removed, a load) counts in
// ChangeCount, so that "changed since then" is one comparison.
class VoxelModel : public PointerList<CubeMesh> {
public:
  // Bytes of the model file: the count, then the room record and cube
  // records (the room's with its real texture size).
  static constexpr int64_t CountBytes = 4;
  static constexpr int64_t RoomRecordBytes = 12 + 6LL * 1024 * 1024 * 3;
  static constexpr int64_t CubeRecordBytes = 12 + 6LL * 64 * 64 * 3;

  // Why a model file was not loaded.
  enum class LoadProblem {
    None,
    // The file is missing or cannot be opened.
    CannotOpen,
    // The file is not a whole model file: wrong count or size, a short
    // read, a centre that is not a finite point.
    Damaged,
    // Memory or textures for the loaded meshes could not be made.
    NoResources,
  };

  VoxelModel() = default;
  ~VoxelModel() override;

  // The exact size of a model file of `count` meshes for this model's room.
  int64_t FileBytes(int64_t count) const;

  // Allocates the pick buffer, outline mask and outline overlay, makes the
  // face batches and builds the room (half-size 16 cubes) around the origin.
  // False when the rectangle does not fit the buffer, the room's texture
  // size is not a valid one, memory runs out or the
  // room's textures, the batches or the overlay cannot be created.
  bool Init(const VoxelModelSetup &setup);

  // Appends the mesh (owned from now on) and its six faces to its batch.
  void Add(CubeMesh *mesh) override;
  // Destroys the mesh at the index and removes it and its quads; the pick
  // buffer forgets it.
  void RemoveAt(int index) override;
  // Destroys every mesh, the room included, empties both batches and the
  // pick buffer.
  void Clear() override;

  // Appends a cube of the colour centred at `centre` and refreshes the pick
  // buffer. False (nothing changed) for a centre that is not finite or when
  // the cube's textures cannot be created.
  bool AddCube(const Vector3 &centre, const RgbColour &colour);
  // Destroys the mesh and removes it from the list; false when it is not there.
  bool RemoveCube(CubeMesh *mesh);

  // Draws the room's batch, then the cubes' batch; refreshes the pick buffer
  // after the first call. While the pick buffer is being drawn, the device
  // is given what the frame has recorded so far, so that the renderer draws
  // the scene at the same time.
  void Render(GraphicsDevice &device);
  // Rebuilds every pick record from the device's transforms and viewport,
  // then the outline mask, and writes the overlay when the mask changed.
  void RefreshPickBuffer(GraphicsDevice &device);
  // The same rebuild, left to run on the pick buffer's helper threads: reads
  // of the pick buffer wait for it, and the outlines follow when they are
  // next drawn or asked for. For a view that changes every frame.
  void StartPickBufferRefresh(GraphicsDevice &device);
  // Draws the outline overlay as one sprite, one texel per pixel, its top
  // left at (left - 1, top), with the full-screen viewport (put back after).
  void DrawOutlines(GraphicsDevice &device);

  // Paints the texel of the face under the pixel with the pen colour; when
  // it does and `painted` is given, says there which texel it was and what
  // it held before.
  bool PaintAt(GraphicsDevice &device, int x, int y, const RgbColour &penColour, PaintedTexel *painted = nullptr);
  // Sets a new cube against the face under the pixel, centred on the point
  // hit and moved out from the face by half a cube.
  bool PlaceCubeAt(int x, int y, const RgbColour &cubeColour);
  // Removes the cube under the pixel (never the room); when it does and
  // `erased` is given, first copies the cube there.
  bool EraseAt(int x, int y, CubeCopy *erased = nullptr);

  // The edits that take back or repeat the ones above (each changes the
  // model's content, as they do):
  // Puts the copied cube back at its place in the list (1 to Count()) with
  // its texels, and refreshes the pick buffer as placing a cube does. False,
  // with nothing changed, for a place outside the list, a centre that is not
  // finite, texels of the wrong size or textures that cannot be created.
  bool InsertCube(const CubeCopy &cube);
  // Removes the cube at the list index and refreshes the pick buffer, as
  // erasing does. False, with nothing changed, for the room or an index
  // outside the list.
  bool RemoveCubeAt(int index);
  // Writes one texel of a face (column x, row y of mesh `mesh`'s face
  // `face`) and uploads it, as painting does. False, with nothing changed,
  // when there is no such texel.
  bool SetTexel(int mesh, int face, int x, int y, const RgbColour &colour);
  // Replaces the model with one kept by SaveToMemory, as Load does with a
  // file (and with the same checks: on failure the model is as it was).
  bool LoadFromMemory(const std::vector<uint8_t> &bytes);

  // Reads one texel as SetTexel addresses it; false when there is none.
  bool TexelColour(int mesh, int face, int x, int y, RgbColour &colour) const;
  // Copies the cube at the list index (not the room) with its place, centre
  // and texels; false for the room or an index outside the list.
  bool CopyCube(int index, CubeCopy &copy) const;
  // The bytes the model file would hold, in memory. False (with `bytes`
  // emptied) for an empty model or a mesh without images.
  bool SaveToMemory(std::vector<uint8_t> &bytes) const;

  // Writes the model file (count, then each mesh's centre and texels) by way
  // of a temporary file that replaces `path` only when all was written and
  // synced. False, with any old file kept, on any failure.
  bool Save(const std::string &path) const;
  // Save that gives the reason for a failure to the caller instead of
  // writing it to the log.
  bool Save(const std::string &path, std::string &reason) const;
  // Replaces the model with the file's meshes. The count and the exact size
  // for it are checked first; then each record is read straight into the
  // images of its new mesh and its centre checked (finite), and every new
  // mesh is built and uploaded before the model changes: on any failure the
  // model is exactly as it was and the result is false. A room at the same
  // centre is kept and given the file's texels (read into fresh images that
  // take the place of its own only once everything succeeded). The pick
  // buffer is redrawn as StartPickBufferRefresh does. A refusal is reported
  // on standard error.
  bool Load(const std::string &path);
  // Load that gives the kind of a refusal and its one-line reason to the
  // caller instead of writing them to the log.
  bool Load(const std::string &path, LoadProblem &problem, std::string &reason);

  // The texel (tx, ty) that texture coordinate `uv` selects on a face whose
  // textures are textureSize texels wide, kept inside an image of the given
  // size. False when uv lies outside 0..1 (or is NaN) or the texel would lie
  // outside the image (u or v of exactly 1).
  static bool TexelAt(const Vector2 &uv, int textureSize, int imageWidth, int imageHeight, int &tx, int &ty);

  // How many changes the model has had since it was made: each painted
  // texel, mesh added or removed, clearing and successful load adds one.
  uint64_t ChangeCount() const { return changeCount; }
  // Counts a change made to the meshes or their texels from outside the
  // operations above (which count their own). Texels changed that way must
  // also be uploaded to their face's texture, as painting does: the autosave
  // finds the faces that changed by their textures' revisions.
  void MarkChanged() { ++changeCount; }

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  PickRecord RecordAt(int x, int y) const { return pickBuffer.At(x, y); }
  const PickBuffer &Picks() const { return pickBuffer; }
  // The outline mask, brought up to date with the pick buffer first.
  const OutlineMask &Outlines();
  float HalfSize() const { return halfSize; }
  // True until the refresh that follows the first Render.
  bool PickBufferPending() const { return pickBufferPending; }
  // The quads of the room (index 0) and of the cubes, in list order; null
  // before Init.
  const FaceBatch *RoomBatch() const { return roomBatch.get(); }
  const FaceBatch *CubeBatch() const { return cubeBatch.get(); }
  // The outline overlay on the device; null before Init.
  const DeviceTexture *OutlineOverlay() const { return outlineTexture.get(); }

private:
  // The batch a mesh's faces go to: the room's for a mesh with the room's
  // texture size, the cubes' otherwise.
  FaceBatch *BatchOf(const CubeMesh *mesh) const;
  // The first quad of the mesh at the index in its batch.
  int FirstQuadOf(int index) const;
  void AppendQuads(const CubeMesh *mesh);
  // Empties both batches and fills them again from the list.
  void RebuildBatches();
  // Recomputes the outline mask and, when it changed, rewrites the overlay.
  void UpdateOutlines();
  // Queues every face's triangles for the pick buffer, from the device's
  // transforms and viewport.
  void QueuePickTriangles(GraphicsDevice &device);
  // Load's work once the source is open; `source` names it in the reason
  // given for a refusal.
  bool LoadStream(std::FILE *file, const std::string &source, LoadProblem &problem, std::string &reason);
  // The texture of face `face` of the mesh at list index `mesh` when it has
  // a byte image of its texture size behind it; null otherwise.
  Texture *EditableFace(int mesh, int face) const;

private:
  GraphicsDevice *device = nullptr;
  float halfSize = 0.f;
  int roomTextureSize = RoomMesh::RoomTextureSize;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width = 0;
  int height = 0;
  PickBuffer pickBuffer;
  OutlineMask outlineMask;
  bool pickBufferPending = true;
  std::unique_ptr<FaceBatch> roomBatch;
  std::unique_ptr<FaceBatch> cubeBatch;
  std::unique_ptr<DeviceTexture> outlineTexture;
  std::vector<uint32_t> outlineTexels;
  // The mask may not match the pick buffer (a mesh was forgotten or removed
  // without a refresh); the overlay texture does not hold the mask.
  bool outlinesStale = false;
  bool overlayBehind = false;
  uint64_t changeCount = 0;
};
