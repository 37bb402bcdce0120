#include "model/VoxelModel.h"

#include "base/Log.h"
#include "gfx/GraphicsDevice.h"
#include "model/ReplacingFile.h"
#include "model/RoomMesh.h"
#include "res/Texture.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the model file is written in the machine's byte order");

namespace {
  // Room half-size in cube half-sizes: the room is sixteen cube edges wide.
  constexpr float RoomScale = 16.f;

  struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
  };
  using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

  bool IsFinite(const Vector3 &v)
  {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
  }

  bool SeekTo(std::FILE *file, int64_t offset)
  {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
  }

}

VoxelModel::~VoxelModel()
{
  Clear();
}

bool VoxelModel::Init(const VoxelModelSetup &setup)
{
  if(!setup.device || setup.left < 0 || setup.top < 0 || setup.width < 0 || setup.height < 0)
    return false;
  device = setup.device;
  halfSize = setup.halfSize;
  left = setup.left;
  top = setup.top;
  right = setup.left + setup.width;
  bottom = setup.top + setup.height;
  width = setup.bufferWidth;
  height = setup.bufferHeight;

  if(!pickBuffer.Init(width, height, right, bottom))
    return false;
  if(!outlineMask.Init(width, height, PixelRect{left, top, right, bottom}))
    return false;

  auto room = std::make_unique<RoomMesh>();
  if(!room->BuildRoom(*device, Vector3(), RoomScale * halfSize))
    return false;
  Add(room.release());
  return true;
}

void VoxelModel::RemoveAt(int index)
{
  CubeMesh *mesh = At(index);
  PointerList<CubeMesh>::RemoveAt(index);
  pickBuffer.Forget(mesh);
  delete mesh;
}

void VoxelModel::Clear()
{
  while(Count() > 0)
  {
    CubeMesh *mesh = At(0);
    PointerList<CubeMesh>::RemoveAt(0);
    delete mesh;
  }
  pickBuffer.Reset();
}

bool VoxelModel::AddCube(const Vector3 &centre, const RgbColour &colour)
{
  if(!device || !IsFinite(centre))
    return false;
  auto cube = std::make_unique<CubeMesh>();
  if(!cube->Build(*device, centre, halfSize, colour))
    return false;
  Add(cube.release());
  RefreshPickBuffer(*device);
  return true;
}

bool VoxelModel::RemoveCube(CubeMesh *mesh)
{
  const int index = IndexOf(mesh);
  if(index < 0)
    return false;
  RemoveAt(index);
  return true;
}

void VoxelModel::Render(GraphicsDevice &renderDevice)
{
  for(int i = 0; i < Count(); ++i)
    At(i)->DrawFaces(renderDevice);
  if(pickBufferPending)
  {
    RefreshPickBuffer(renderDevice);
    pickBufferPending = false;
  }
}

void VoxelModel::RefreshPickBuffer(GraphicsDevice &renderDevice)
{
  const Matrix &world = renderDevice.GetTransform(TransformKind::World);
  const Matrix &view = renderDevice.GetTransform(TransformKind::View);
  const Matrix &projection = renderDevice.GetTransform(TransformKind::Projection);
  const Viewport &viewport = renderDevice.GetViewport();

  // Clip space to screen pixels, with the half sizes in whole pixels.
  const float hw = static_cast<float>(viewport.width / 2);
  const float hh = static_cast<float>(viewport.height / 2);
  Matrix screen = Matrix::Identity();
  screen.m[0][0] = hw;
  screen.m[1][1] = -hh;
  screen.m[2][2] = viewport.maxZ - viewport.minZ;
  screen.m[3][0] = static_cast<float>(viewport.x) + hw;
  screen.m[3][1] = static_cast<float>(viewport.y) + hh;
  screen.m[3][2] = viewport.minZ;
  screen.m[3][3] = 1.f;
  const Matrix m = world * view * projection * screen;

  pickBuffer.Reset();
  for(int i = 0; i < Count(); ++i)
  {
    CubeMesh *mesh = At(i);
    const bool isRoom = i == 0;
    PickRecord tag;
    tag.mesh = mesh;
    tag.textureSize = isRoom ? RoomMesh::RoomTextureSize : CubeMesh::CubeTextureSize;
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
    {
      CubeFace &face = mesh->Face(f);
      Vector3 p[4];
      for(int c = 0; c < 4; ++c)
      {
        float w = 1.f;
        const Vector3 clip = m.TransformPoint(face.CornerPosition(c), &w);
        p[c] = Vector3(clip.x / w, clip.y / w, clip.z / w);
      }
      // The room's walls that are turned away on screen are left out; the
      // depth test sorts out the faces of cubes.
      if(isRoom)
      {
        const float turn = (p[0].x - p[1].x) * (p[2].y - p[1].y) - (p[0].y - p[1].y) * (p[2].x - p[1].x);
        if(turn > 0.f)
          continue;
      }
      tag.face = &face;
      tag.faceIndex = f;
      tag.triangle = 0;
      pickBuffer.Rasterise(p[0], p[1], p[2], tag);
      tag.triangle = 1;
      pickBuffer.Rasterise(p[2], p[3], p[0], tag);
    }
  }
}

void VoxelModel::DrawOutlines(GraphicsDevice &outlineDevice)
{
  Surface *surface = outlineDevice.BackBuffer();
  if(!surface)
    return;
  DrawingContext *context = surface->GetDC();
  if(!context)
    return;
  outlineMask.Compute(pickBuffer);
  outlineMask.Draw(*context);
  surface->ReleaseDC(context);
}

bool VoxelModel::PaintAt(GraphicsDevice &paintDevice, int x, int y, const RgbColour &penColour)
{
  if(!Contains(x, y))
    return false;
  const PickRecord &record = pickBuffer.At(x, y);
  if(!record.face)
    return false;
  Vector3 hit;
  if(!record.face->Pick(paintDevice, x, y, width, height, hit, record.triangle))
    return false;
  const Vector2 uv = record.face->TexcoordAt(hit, record.triangle);
  Texture *texture = record.face->GetTexture();
  DibImage *image = texture ? texture->Backing() : nullptr;
  int tx = 0, ty = 0;
  if(!image || !image->Data() || !TexelAt(uv, record.textureSize, image->Width(), image->Height(), tx, ty))
    return false;

  uint8_t *texel = image->Data() + (static_cast<size_t>(ty) * image->Width() + tx) * 3;
  texel[0] = penColour.red;
  texel[1] = penColour.green;
  texel[2] = penColour.blue;
  texture->Upload(paintDevice, tx, ty, 1, 1);
  return true;
}

bool VoxelModel::TexelAt(const Vector2 &uv, int textureSize, int imageWidth, int imageHeight, int &tx, int &ty)
{
  // Written so that NaN is refused too.
  if(!(uv.x >= 0.f && uv.x <= 1.f && uv.y >= 0.f && uv.y <= 1.f) || textureSize <= 0)
    return false;
  const int column = static_cast<int>(static_cast<float>(textureSize) * uv.x);
  const int row = static_cast<int>(static_cast<float>(textureSize) * uv.y);
  // u or v of exactly 1 would address the texel one past the edge.
  if(column >= imageWidth || row >= imageHeight)
    return false;
  tx = column;
  ty = row;
  return true;
}

bool VoxelModel::PlaceCubeAt(int x, int y, const RgbColour &cubeColour)
{
  if(!device || !Contains(x, y))
    return false;
  const PickRecord &record = pickBuffer.At(x, y);
  if(!record.face)
    return false;
  Vector3 hit;
  if(!record.face->Pick(*device, x, y, width, height, hit, record.triangle))
    return false;

  // Out from the face on the side it is seen from: outward for a cube,
  // inward (into the room) for a wall.
  const float h = record.textureSize == CubeMesh::CubeTextureSize ? halfSize : -halfSize;
  switch(record.faceIndex)
  {
    case 0: hit.z -= h; break;
    case 1: hit.x += h; break;
    case 2: hit.z += h; break;
    case 3: hit.x -= h; break;
    case 4: hit.y += h; break;
    case 5: hit.y -= h; break;
    default: return false;
  }
  return AddCube(hit, cubeColour);
}

bool VoxelModel::EraseAt(int x, int y)
{
  if(!device || !Contains(x, y))
    return false;
  const PickRecord &record = pickBuffer.At(x, y);
  if(!record.mesh || record.textureSize != CubeMesh::CubeTextureSize)
    return false;
  const bool removed = RemoveCube(record.mesh);
  RefreshPickBuffer(*device);
  return removed;
}

bool VoxelModel::Save(const std::string &path) const
{
  if(Count() < 1)
  {
    LogLine("not saving an empty model to " + path);
    return false;
  }
  ReplacingFile out;
  if(!out.Open(path))
  {
    LogLine("cannot create the model file " + path);
    return false;
  }
  const int32_t count = Count();
  bool ok = std::fwrite(&count, sizeof count, 1, out.File()) == 1;
  for(int i = 0; ok && i < Count(); ++i)
    ok = At(i)->WriteFaces(out.File());
  if(!ok || !out.Commit())
  {
    LogLine("could not write the model file " + path + "; the previous file is kept");
    return false;
  }
  return true;
}

bool VoxelModel::Load(const std::string &path)
{
  if(!device)
    return false;
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if(!file)
  {
    LogLine("cannot open the model file " + path);
    return false;
  }

  // The count and the exact size it implies are checked before anything else.
  int32_t count = 0;
  int64_t size = -1;
  if(fseeko(file.get(), 0, SEEK_END) == 0)
    size = static_cast<int64_t>(ftello(file.get()));
  if(!SeekTo(file.get(), 0) || std::fread(&count, sizeof count, 1, file.get()) != 1 || count < 1 ||
     size != CountBytes + RoomRecordBytes + CubeRecordBytes * (static_cast<int64_t>(count) - 1))
  {
    LogLine("the model file " + path + " is damaged (wrong count or size); the model is kept");
    return false;
  }

  // Then the whole file is read, and every centre checked.
  std::unique_ptr<uint8_t[]> bytes(new(std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if(!bytes)
  {
    LogLine("not enough memory to load the model file " + path + "; the model is kept");
    return false;
  }
  if(!SeekTo(file.get(), 0) || std::fread(bytes.get(), 1, static_cast<size_t>(size), file.get()) != static_cast<size_t>(size))
  {
    LogLine("could not read the model file " + path + "; the model is kept");
    return false;
  }
  file.reset();
  auto record = [&bytes](int32_t i) {
    return bytes.get() + CountBytes + (i == 0 ? 0 : RoomRecordBytes + CubeRecordBytes * (i - 1));
  };
  auto centreOf = [&record](int32_t i) {
    float xyz[3] = {0.f, 0.f, 0.f};
    std::memcpy(xyz, record(i), sizeof xyz);
    return Vector3(xyz[0], xyz[1], xyz[2]);
  };
  for(int32_t i = 0; i < count; ++i)
    if(!IsFinite(centreOf(i)))
    {
      LogLine("the model file " + path + " is damaged (bad centre); the model is kept");
      return false;
    }

  // Every new mesh is built before the model changes. The room is kept (and
  // only its texels replaced) when the file's room stands where it stands.
  std::vector<std::unique_ptr<CubeMesh>> cubes;
  cubes.reserve(static_cast<size_t>(count) - 1);
  for(int32_t i = 1; i < count; ++i)
  {
    auto cube = std::make_unique<CubeMesh>();
    if(!cube->Build(*device, centreOf(i), halfSize, RgbColour{255, 255, 255}) ||
       !cube->ReadFaces(record(i) + 12, *device))
    {
      LogLine("could not create the textures of a loaded cube; the model is kept");
      return false;
    }
    cubes.push_back(std::move(cube));
  }
  const Vector3 roomCentre = centreOf(0);
  RoomMesh *keptRoom = Count() > 0 ? dynamic_cast<RoomMesh *>(At(0)) : nullptr;
  if(keptRoom && !(keptRoom->Centre() == roomCentre))
    keptRoom = nullptr;
  std::unique_ptr<RoomMesh> newRoom;
  if(!keptRoom)
  {
    newRoom = std::make_unique<RoomMesh>();
    if(!newRoom->BuildRoom(*device, roomCentre, RoomScale * halfSize) || !newRoom->ReadFaces(record(0) + 12, *device))
    {
      LogLine("could not create the textures of the loaded room; the model is kept");
      return false;
    }
  }

  // Nothing below can fail.
  if(keptRoom)
  {
    PointerList<CubeMesh>::RemoveAt(0);
    Clear();
    keptRoom->ReadFaces(record(0) + 12, *device);
    Add(keptRoom);
  }
  else
  {
    Clear();
    Add(newRoom.release());
  }
  for(auto &cube : cubes)
    Add(cube.release());
  RefreshPickBuffer(*device);
  return true;
}
