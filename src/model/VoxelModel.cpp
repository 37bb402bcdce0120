#include "model/VoxelModel.h"

#include "base/Log.h"
#include "gfx/BatchVertex.h"
#include "gfx/GraphicsDevice.h"
#include "model/ReplacingFile.h"
#include "res/Texture.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
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

  bool ReadCentre(std::FILE *file, Vector3 &centre)
  {
    float xyz[3] = {0.f, 0.f, 0.f};
    if(std::fread(xyz, sizeof(float), 3, file) != 3)
      return false;
    centre = Vector3(xyz[0], xyz[1], xyz[2]);
    return true;
  }
}

VoxelModel::~VoxelModel()
{
  Clear();
}

bool VoxelModel::Init(const VoxelModelSetup &setup)
{
  if(!setup.device || setup.left < 0 || setup.top < 0 || setup.width < 0 || setup.height < 0 ||
     setup.roomTextureSize <= 0 || setup.roomTextureSize > RoomMesh::RoomTextureSize ||
     setup.roomTextureSize == CubeMesh::CubeTextureSize)
    return false;
  device = setup.device;
  halfSize = setup.halfSize;
  roomTextureSize = setup.roomTextureSize;
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
  const int overlayWidth = outlineMask.OverlayWidth();
  const int overlayHeight = outlineMask.OverlayHeight();
  if(overlayHeight > 0)
  {
    // Zeros: transparent, as the empty mask is.
    outlineTexture = device->CreateTexture(overlayWidth, overlayHeight);
    if(!outlineTexture)
      return false;
    outlineTexels.assign(static_cast<size_t>(overlayWidth) * overlayHeight, 0u);
  }
  roomBatch = device->CreateFaceBatch(roomTextureSize, CubeMesh::KeptTexels(roomTextureSize));
  cubeBatch = device->CreateFaceBatch(CubeMesh::CubeTextureSize, CubeMesh::KeptTexels(CubeMesh::CubeTextureSize));
  if(!roomBatch || !cubeBatch)
    return false;

  auto room = std::make_unique<RoomMesh>();
  if(!room->BuildRoom(*device, Vector3(), RoomScale * halfSize, roomTextureSize))
    return false;
  Add(room.release());
  return true;
}

int64_t VoxelModel::FileBytes(int64_t count) const
{
  const int64_t roomRecord = 12 + static_cast<int64_t>(CubeMesh::FaceCount) * roomTextureSize * roomTextureSize * 3;
  return CountBytes + roomRecord + CubeRecordBytes * (count - 1);
}

FaceBatch *VoxelModel::BatchOf(const CubeMesh *mesh) const
{
  return mesh->TextureSize() == roomTextureSize ? roomBatch.get() : cubeBatch.get();
}

int VoxelModel::FirstQuadOf(int index) const
{
  const FaceBatch *batch = BatchOf(At(index));
  int before = 0;
  for(int i = 0; i < index; ++i)
    before += BatchOf(At(i)) == batch;
  return before * CubeMesh::FaceCount;
}

void VoxelModel::AppendQuads(const CubeMesh *mesh)
{
  FaceBatch *batch = BatchOf(mesh);
  if(!batch)
    return;
  BatchVertex quads[CubeMesh::FaceCount * CubeMesh::QuadCorners];
  mesh->WriteQuads(quads);
  batch->Insert(batch->QuadCount(), quads, CubeMesh::FaceCount);
}

void VoxelModel::RebuildBatches()
{
  if(!roomBatch || !cubeBatch)
    return;
  roomBatch->Clear();
  cubeBatch->Clear();
  cubeBatch->Reserve(Count() * CubeMesh::FaceCount);
  for(int i = 0; i < Count(); ++i)
    AppendQuads(At(i));
}

void VoxelModel::Add(CubeMesh *mesh)
{
  ++changeCount;
  PointerList<CubeMesh>::Add(mesh);
  AppendQuads(mesh);
}

void VoxelModel::RemoveAt(int index)
{
  ++changeCount;
  CubeMesh *mesh = At(index);
  if(FaceBatch *batch = BatchOf(mesh))
    batch->Erase(FirstQuadOf(index), CubeMesh::FaceCount);
  PointerList<CubeMesh>::RemoveAt(index);
  pickBuffer.Forget(mesh);
  outlinesStale = true;
  delete mesh;
}

void VoxelModel::Clear()
{
  ++changeCount;
  while(Count() > 0)
  {
    CubeMesh *mesh = At(0);
    PointerList<CubeMesh>::RemoveAt(0);
    delete mesh;
  }
  if(roomBatch)
    roomBatch->Clear();
  if(cubeBatch)
    cubeBatch->Clear();
  pickBuffer.Reset();
  outlinesStale = true;
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
  if(roomBatch)
    renderDevice.DrawFaceBatch(*roomBatch);
  if(cubeBatch)
    renderDevice.DrawFaceBatch(*cubeBatch);
  if(pickBufferPending)
  {
    RefreshPickBuffer(renderDevice);
    pickBufferPending = false;
  }
  if(pickBuffer.Drawing())
    renderDevice.Submit();
}

void VoxelModel::RefreshPickBuffer(GraphicsDevice &renderDevice)
{
  QueuePickTriangles(renderDevice);
  pickBuffer.Redraw();
  UpdateOutlines();
}

void VoxelModel::StartPickBufferRefresh(GraphicsDevice &renderDevice)
{
  QueuePickTriangles(renderDevice);
  pickBuffer.StartRedraw();
  outlinesStale = true;
}

const OutlineMask &VoxelModel::Outlines()
{
  if(outlinesStale)
    UpdateOutlines();
  return outlineMask;
}

void VoxelModel::QueuePickTriangles(GraphicsDevice &renderDevice)
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

  for(int i = 0; i < Count(); ++i)
  {
    CubeMesh *mesh = At(i);
    const bool isRoom = i == 0;
    PickRecord tag;
    tag.mesh = mesh;
    tag.textureSize = isRoom ? roomTextureSize : CubeMesh::CubeTextureSize;
    // Each of the cube's corners is projected once, for the first face that
    // has it; the other faces' vertices there are at the same position.
    Vector3 projected[CubeMesh::CubeCornerCount];
    bool done[CubeMesh::CubeCornerCount] = {};
    for(int f = 0; f < CubeMesh::FaceCount; ++f)
    {
      CubeFace &face = mesh->Face(f);
      Vector3 p[4];
      for(int c = 0; c < 4; ++c)
      {
        const int corner = mesh->CubeCorner(f, c);
        if(!done[corner])
        {
          float w = 1.f;
          const Vector3 clip = m.TransformPoint(face.CornerPosition(c), &w);
          projected[corner] = Vector3(clip.x / w, clip.y / w, clip.z / w);
          done[corner] = true;
        }
        p[c] = projected[corner];
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
      pickBuffer.Queue(p[0], p[1], p[2], tag);
      tag.triangle = 1;
      pickBuffer.Queue(p[2], p[3], p[0], tag);
    }
  }
}

void VoxelModel::UpdateOutlines()
{
  const bool changed = outlineMask.Compute(pickBuffer);
  outlinesStale = false;
  if(!outlineTexture || !(changed || overlayBehind))
    return;
  const int overlayWidth = outlineMask.OverlayWidth();
  outlineMask.WriteOverlay(outlineTexels.data(), overlayWidth);
  overlayBehind = !outlineTexture->Write(0, 0, overlayWidth, outlineMask.OverlayHeight(), outlineTexels.data(),
                                         overlayWidth);
}

void VoxelModel::DrawOutlines(GraphicsDevice &outlineDevice)
{
  if(outlinesStale || overlayBehind)
    UpdateOutlines();
  if(!outlineTexture)
    return;
  // The outlines reach one pixel left of the model area, outside the model's
  // own viewport: the sprite is clipped to the whole screen instead.
  const Viewport previous = outlineDevice.GetViewport();
  outlineDevice.SetViewport(Viewport{0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.f, 1.f});
  SpriteQuad quad;
  quad.left = static_cast<float>(left - 1);
  quad.top = static_cast<float>(top);
  quad.right = quad.left + static_cast<float>(outlineTexture->Width());
  quad.bottom = quad.top + static_cast<float>(outlineTexture->Height());
  quad.colour = 0xFFFFFFFF;
  quad.smooth = false;
  quad.blend = SpriteBlend::Alpha;
  outlineDevice.DrawSpriteQuad(*outlineTexture, quad);
  outlineDevice.SetViewport(previous);
}

bool VoxelModel::PaintAt(GraphicsDevice &paintDevice, int x, int y, const RgbColour &penColour, PaintedTexel *painted)
{
  if(!Contains(x, y))
    return false;
  const PickRecord record = pickBuffer.At(x, y);
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
  if(painted)
  {
    painted->mesh = record.mesh;
    painted->face = record.faceIndex;
    painted->x = tx;
    painted->y = ty;
    painted->before = {texel[0], texel[1], texel[2]};
    painted->after = penColour;
  }
  texel[0] = penColour.red;
  texel[1] = penColour.green;
  texel[2] = penColour.blue;
  texture->Upload(paintDevice, tx, ty, 1, 1);
  ++changeCount;
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
  const PickRecord record = pickBuffer.At(x, y);
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

bool VoxelModel::EraseAt(int x, int y, CubeCopy *erased)
{
  if(!device || !Contains(x, y))
    return false;
  const PickRecord record = pickBuffer.At(x, y);
  if(!record.mesh || record.textureSize != CubeMesh::CubeTextureSize)
    return false;
  if(erased)
    CopyCube(IndexOf(record.mesh), *erased);
  const bool removed = RemoveCube(record.mesh);
  RefreshPickBuffer(*device);
  return removed;
}

bool VoxelModel::InsertCube(const CubeCopy &cube)
{
  if(!device || cube.index < 1 || cube.index > Count() || !IsFinite(cube.centre))
    return false;
  auto mesh = std::make_unique<CubeMesh>();
  if(!mesh->BuildBlank(*device, cube.centre, halfSize) || cube.texels.size() != mesh->FaceBytes() ||
     !mesh->ReadFaces(cube.texels.data(), *device))
    return false;

  // The meshes after the place step aside and come back behind the new one.
  std::vector<CubeMesh *> after;
  while(Count() > cube.index)
  {
    after.push_back(At(Count() - 1));
    PointerList<CubeMesh>::RemoveAt(Count() - 1);
  }
  CubeMesh *inserted = mesh.release();
  PointerList<CubeMesh>::Add(inserted);
  for(auto it = after.rbegin(); it != after.rend(); ++it)
    PointerList<CubeMesh>::Add(*it);
  if(FaceBatch *batch = BatchOf(inserted))
  {
    BatchVertex quads[CubeMesh::FaceCount * CubeMesh::QuadCorners];
    inserted->WriteQuads(quads);
    batch->Insert(FirstQuadOf(cube.index), quads, CubeMesh::FaceCount);
  }
  ++changeCount;
  RefreshPickBuffer(*device);
  return true;
}

bool VoxelModel::RemoveCubeAt(int index)
{
  if(!device || index < 1 || index >= Count() || At(index)->TextureSize() != CubeMesh::CubeTextureSize)
    return false;
  const bool removed = RemoveCube(At(index));
  RefreshPickBuffer(*device);
  return removed;
}

Texture *VoxelModel::EditableFace(int mesh, int face) const
{
  if(mesh < 0 || mesh >= Count() || face < 0 || face >= CubeMesh::FaceCount)
    return nullptr;
  const CubeMesh *owner = At(mesh);
  Texture *texture = owner->FaceTexture(face);
  const DibImage *image = texture ? texture->Backing() : nullptr;
  if(!image || !image->Data() || image->Width() != owner->TextureSize() || image->Height() != owner->TextureSize())
    return nullptr;
  return texture;
}

bool VoxelModel::SetTexel(int mesh, int face, int x, int y, const RgbColour &colour)
{
  Texture *texture = EditableFace(mesh, face);
  if(!device || !texture || x < 0 || y < 0 || x >= texture->Backing()->Width() || y >= texture->Backing()->Height())
    return false;
  DibImage *image = texture->Backing();
  uint8_t *texel = image->Data() + (static_cast<size_t>(y) * image->Width() + x) * 3;
  texel[0] = colour.red;
  texel[1] = colour.green;
  texel[2] = colour.blue;
  texture->Upload(*device, x, y, 1, 1);
  ++changeCount;
  return true;
}

bool VoxelModel::TexelColour(int mesh, int face, int x, int y, RgbColour &colour) const
{
  const Texture *texture = EditableFace(mesh, face);
  if(!texture || x < 0 || y < 0 || x >= texture->Backing()->Width() || y >= texture->Backing()->Height())
    return false;
  const DibImage *image = texture->Backing();
  const uint8_t *texel = image->Data() + (static_cast<size_t>(y) * image->Width() + x) * 3;
  colour = {texel[0], texel[1], texel[2]};
  return true;
}

bool VoxelModel::CopyCube(int index, CubeCopy &copy) const
{
  if(index < 1 || index >= Count() || At(index)->TextureSize() != CubeMesh::CubeTextureSize)
    return false;
  const CubeMesh *cube = At(index);
  std::vector<uint8_t> texels(cube->FaceBytes());
  if(!cube->CopyFaces(texels.data()))
    return false;
  copy.index = index;
  copy.centre = cube->Centre();
  copy.texels = std::move(texels);
  return true;
}

bool VoxelModel::SaveToMemory(std::vector<uint8_t> &bytes) const
{
  bytes.clear();
  if(Count() < 1)
    return false;
  size_t size = CountBytes;
  for(int i = 0; i < Count(); ++i)
    size += 3 * sizeof(float) + At(i)->FaceBytes();
  bytes.resize(size);
  uint8_t *out = bytes.data();
  const int32_t count = Count();
  std::memcpy(out, &count, sizeof count);
  out += sizeof count;
  for(int i = 0; i < Count(); ++i)
  {
    const CubeMesh *mesh = At(i);
    const float xyz[3] = {mesh->Centre().x, mesh->Centre().y, mesh->Centre().z};
    std::memcpy(out, xyz, sizeof xyz);
    out += sizeof xyz;
    if(!mesh->CopyFaces(out))
    {
      bytes.clear();
      return false;
    }
    out += mesh->FaceBytes();
  }
  return true;
}

bool VoxelModel::LoadFromMemory(const std::vector<uint8_t> &bytes)
{
  const std::string source = "the kept copy of the model";
  if(bytes.empty())
  {
    LogLine(source + " is empty; the model is kept");
    return false;
  }
  // Read only: the stream never writes into the bytes.
  FileHandle file(fmemopen(const_cast<uint8_t *>(bytes.data()), bytes.size(), "rb"));
  if(!file)
  {
    LogLine("cannot read " + source + "; the model is kept");
    return false;
  }
  LoadProblem problem = LoadProblem::None;
  std::string reason;
  if(LoadStream(file.get(), source, problem, reason))
    return true;
  LogLine(reason);
  return false;
}

bool VoxelModel::Save(const std::string &path) const
{
  std::string reason;
  if(Save(path, reason))
    return true;
  LogLine(reason);
  return false;
}

bool VoxelModel::Save(const std::string &path, std::string &reason) const
{
  if(Count() < 1)
  {
    reason = "not saving an empty model to " + path;
    return false;
  }
  ReplacingFile out;
  if(!out.Open(path))
  {
    reason = "cannot create the model file " + path;
    return false;
  }
  const int32_t count = Count();
  bool ok = std::fwrite(&count, sizeof count, 1, out.File()) == 1;
  for(int i = 0; ok && i < Count(); ++i)
    ok = At(i)->WriteFaces(out.File());
  if(!ok || !out.Commit())
  {
    reason = "could not write the model file " + path + "; the previous file is kept";
    return false;
  }
  return true;
}

bool VoxelModel::Load(const std::string &path)
{
  LoadProblem problem = LoadProblem::None;
  std::string reason;
  if(Load(path, problem, reason))
    return true;
  LogLine(reason);
  return false;
}

bool VoxelModel::Load(const std::string &path, LoadProblem &problem, std::string &reason)
{
  problem = LoadProblem::None;
  reason.clear();
  const auto refuse = [&](LoadProblem kind, const std::string &why) {
    problem = kind;
    reason = why;
    return false;
  };
  if(!device)
    return refuse(LoadProblem::NoResources, "cannot load the model file " + path + ": there is no device");
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if(!file)
    return refuse(LoadProblem::CannotOpen, "cannot open the model file " + path);
  return LoadStream(file.get(), "the model file " + path, problem, reason);
}

bool VoxelModel::LoadStream(std::FILE *file, const std::string &source, LoadProblem &problem, std::string &reason)
{
  problem = LoadProblem::None;
  reason.clear();
  const auto refuse = [&](LoadProblem kind, const std::string &why) {
    problem = kind;
    reason = why;
    return false;
  };
  if(!device)
    return refuse(LoadProblem::NoResources, "cannot load " + source + ": there is no device");

  // The count and the exact size it implies are checked before anything else.
  int32_t count = 0;
  int64_t size = -1;
  if(fseeko(file, 0, SEEK_END) == 0)
    size = static_cast<int64_t>(ftello(file));
  if(!SeekTo(file, 0) || std::fread(&count, sizeof count, 1, file) != 1 || count < 1 || size != FileBytes(count))
    return refuse(LoadProblem::Damaged, source + " is damaged (wrong count or size); the model is kept");

  // Then each record is read straight into the images of its new mesh, and
  // its centre checked. Every new mesh is built before the model changes; the
  // room is kept (and only its texels replaced) when the file's room stands
  // where it stands, its texels going to fresh images until all succeeded.
  const std::string cannotRead = "could not read " + source + "; the model is kept";
  const std::string badCentre = source + " is damaged (bad centre); the model is kept";
  const std::string roomFailed = "could not create the textures of the loaded room; the model is kept";
  const std::string cubeFailed = "could not create the textures of a loaded cube; the model is kept";
  Vector3 roomCentre;
  if(!ReadCentre(file, roomCentre))
    return refuse(LoadProblem::Damaged, cannotRead);
  if(!IsFinite(roomCentre))
    return refuse(LoadProblem::Damaged, badCentre);
  RoomMesh *keptRoom = Count() > 0 ? dynamic_cast<RoomMesh *>(At(0)) : nullptr;
  if(keptRoom && !(keptRoom->Centre() == roomCentre && keptRoom->TextureSize() == roomTextureSize))
    keptRoom = nullptr;
  std::unique_ptr<RoomMesh> newRoom;
  std::unique_ptr<DibImage> roomImages[CubeMesh::FaceCount];
  if(keptRoom)
  {
    for(auto &image : roomImages)
    {
      image = std::make_unique<DibImage>();
      if(!image->CreateByteImage(roomTextureSize, roomTextureSize))
        return refuse(LoadProblem::NoResources, "not enough memory to load " + source + "; the model is kept");
      if(!CubeMesh::ReadImage(file, *image))
        return refuse(LoadProblem::Damaged, cannotRead);
    }
  }
  else
  {
    newRoom = std::make_unique<RoomMesh>();
    if(!newRoom->BuildBlankRoom(*device, roomCentre, RoomScale * halfSize, roomTextureSize))
      return refuse(LoadProblem::NoResources, roomFailed);
    if(!newRoom->ReadFaces(file))
      return refuse(LoadProblem::Damaged, cannotRead);
  }

  std::vector<std::unique_ptr<CubeMesh>> cubes;
  cubes.reserve(static_cast<size_t>(count) - 1);
  for(int32_t i = 1; i < count; ++i)
  {
    Vector3 centre;
    if(!ReadCentre(file, centre))
      return refuse(LoadProblem::Damaged, cannotRead);
    if(!IsFinite(centre))
      return refuse(LoadProblem::Damaged, badCentre);
    auto cube = std::make_unique<CubeMesh>();
    if(!cube->BuildBlank(*device, centre, halfSize))
      return refuse(LoadProblem::NoResources, cubeFailed);
    if(!cube->ReadFaces(file))
      return refuse(LoadProblem::Damaged, cannotRead);
    cubes.push_back(std::move(cube));
  }

  // Only the texels the devices keep are converted.
  for(auto &cube : cubes)
    if(!cube->UploadFaces(*device))
      return refuse(LoadProblem::NoResources, cubeFailed);
  if(newRoom && !newRoom->UploadFaces(*device))
    return refuse(LoadProblem::NoResources, roomFailed);
  // The kept room takes its new images (its old ones are freed on return);
  // this changes nothing when it fails.
  if(keptRoom && !keptRoom->SwapImages(roomImages))
    return refuse(LoadProblem::NoResources, roomFailed);

  // Nothing below can fail (a face texture always takes its texels). The
  // list is emptied and filled again directly, and the batches rebuilt once.
  if(keptRoom)
    keptRoom->UploadFaces(*device);
  while(Count() > 0)
  {
    CubeMesh *mesh = At(0);
    PointerList<CubeMesh>::RemoveAt(0);
    if(mesh != keptRoom)
      delete mesh;
  }
  // The redraw started below empties the pick buffer first; nothing reads it
  // before.
  PointerList<CubeMesh>::Add(keptRoom ? keptRoom : newRoom.release());
  for(auto &cube : cubes)
    PointerList<CubeMesh>::Add(cube.release());
  RebuildBatches();
  // The pick buffer is redrawn on its helper threads while the caller goes
  // on (the next frame draws the loaded model meanwhile); every read waits.
  StartPickBufferRefresh(*device);
  ++changeCount;
  return true;
}
