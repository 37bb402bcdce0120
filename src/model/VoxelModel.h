#pragma once

#include "app/PointerList.h"
#include "gfx/PixelRect.h"
#include "gfx/Vector2.h"
#include "gfx/Vector3.h"
#include "model/CubeMesh.h"
#include "model/OutlineMask.h"
#include "model/PickBuffer.h"
#include "res/RgbColour.h"

#include <cstdint>
#include <string>

class GraphicsDevice;
class Surface;

// What VoxelModel::Init needs: the device (not owned), the cubes' half-size,
// the size of the pick buffer (the screen) and the active rectangle.
struct VoxelModelSetup {
  GraphicsDevice *device = nullptr;
  float halfSize = 20.f;
  int bufferWidth = 640;
  int bufferHeight = 480;
  int left = 118;
  int top = 128;
  int width = 506;
  int height = 336;
};

// The model the child builds: an ordered list of meshes that it owns, the
// room first and then the cubes in placing order; the pick buffer that says
// which face is seen at each screen pixel, and the outline mask drawn from it.
// Every editing operation takes a screen pixel and ignores pixels outside the
// active rectangle; editing operations return true when they changed
// something and leave the model as it was when they return false.
class VoxelModel : public PointerList<CubeMesh> {
public:
  // Bytes of the model file: the count, then the room record and cube records.
  static constexpr int64_t CountBytes = 4;
  static constexpr int64_t RoomRecordBytes = 12 + 6LL * 1024 * 1024 * 3;
  static constexpr int64_t CubeRecordBytes = 12 + 6LL * 64 * 64 * 3;

  VoxelModel() = default;
  ~VoxelModel() override;

  // Allocates the pick buffer and outline mask and builds the room (half-size
  // 16 cubes) around the origin. False when the rectangle does not fit the
  // buffer, memory runs out or the room's textures cannot be created.
  bool Init(const VoxelModelSetup &setup);

  // Destroys the mesh at the index and removes it; the pick buffer forgets it.
  void RemoveAt(int index) override;
  // Destroys every mesh, the room included, and empties the pick buffer.
  void Clear() override;

  // Appends a cube of the colour centred at `centre` and refreshes the pick
  // buffer. False (nothing changed) for a centre that is not finite or when
  // the cube's textures cannot be created.
  bool AddCube(const Vector3 &centre, const RgbColour &colour);
  // Destroys the mesh and removes it from the list; false when it is not there.
  bool RemoveCube(CubeMesh *mesh);

  // Draws every mesh, room first; refreshes the pick buffer after the first call.
  void Render(GraphicsDevice &device);
  // Rebuilds every pick record from the device's transforms and viewport.
  void RefreshPickBuffer(GraphicsDevice &device);
  // Recomputes the outline mask and draws it in black on the device's back
  // buffer. Nothing when there is no back buffer or its context is out.
  void DrawOutlines(GraphicsDevice &device);

  // Paints the texel of the face under the pixel with the pen colour.
  bool PaintAt(GraphicsDevice &device, int x, int y, const RgbColour &penColour);
  // Sets a new cube against the face under the pixel, centred on the point
  // hit and moved out from the face by half a cube.
  bool PlaceCubeAt(int x, int y, const RgbColour &cubeColour);
  // Removes the cube under the pixel (never the room).
  bool EraseAt(int x, int y);

  // Writes the model file (count, then each mesh's centre and texels) by way
  // of a temporary file that replaces `path` only when all was written and
  // synced. False, with any old file kept, on any failure.
  bool Save(const std::string &path) const;
  // Replaces the model with the file's meshes. The whole file is checked
  // first (count at least 1, exact size for that count, finite centres) and
  // read completely, and every new mesh built, before the model changes: on
  // any failure the model is exactly as it was and the result is false. A
  // room at the same centre is kept and given the file's texels.
  bool Load(const std::string &path);

  // The texel (tx, ty) that texture coordinate `uv` selects on a face whose
  // textures are textureSize texels wide, kept inside an image of the given
  // size. False when uv lies outside 0..1 (or is NaN) or the texel would lie
  // outside the image (u or v of exactly 1).
  static bool TexelAt(const Vector2 &uv, int textureSize, int imageWidth, int imageHeight, int &tx, int &ty);

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  const PickRecord &RecordAt(int x, int y) const { return pickBuffer.At(x, y); }
  const PickBuffer &Picks() const { return pickBuffer; }
  const OutlineMask &Outlines() const { return outlineMask; }
  float HalfSize() const { return halfSize; }
  // True until the refresh that follows the first Render.
  bool PickBufferPending() const { return pickBufferPending; }

private:
  GraphicsDevice *device = nullptr;
  float halfSize = 0.f;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width = 0;
  int height = 0;
  PickBuffer pickBuffer;
  OutlineMask outlineMask;
  bool pickBufferPending = true;
};
