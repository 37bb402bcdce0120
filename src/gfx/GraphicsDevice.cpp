#include "gfx/GraphicsDevice.h"

#include "gfx/HeadlessBackend.h"
#include "gfx/LayerTexture.h"

#include <algorithm>

namespace {
  const char *ResetErrorName(ResetError error)
  {
    switch(error)
    {
      case ResetError::DeviceLost: return "the device is lost";
      case ResetError::DriverInternalError: return "internal driver error";
      case ResetError::InvalidCall: return "invalid call";
      case ResetError::OutOfVideoMemory: return "out of video memory";
      case ResetError::OutOfMemory: return "out of memory";
      default: return nullptr;
    }
  }

  ColourValue FromArgb(uint32_t argb)
  {
    return {((argb >> 16) & 0xFF) / 255.f, ((argb >> 8) & 0xFF) / 255.f, (argb & 0xFF) / 255.f,
            ((argb >> 24) & 0xFF) / 255.f};
  }

  float Saturate(float v)
  {
    return v < 0.f ? 0.f : (v > 1.f ? 1.f : v);
  }
}

GraphicsDevice::GraphicsDevice() = default;

GraphicsDevice::~GraphicsDevice()
{
  Release();
}

bool GraphicsDevice::CreateHeadless(int width, int height)
{
  return CreateWithBackend(std::make_unique<HeadlessBackend>(width, height));
}

bool GraphicsDevice::CreateWithBackend(std::unique_ptr<RenderBackend> newBackend)
{
  if(!newBackend)
    return false;
  backend = std::move(newBackend);
  presentation = PresentationParameters{};
  RefreshBackBuffer();
  SetupStates();
  Resize();
  return true;
}

void GraphicsDevice::SetupStates()
{
  state.zEnable = true;
  state.zWriteEnable = true;
  state.alphaRef = 0;
  state.alphaFunc = CompareFunction::Greater;
  state.ambient = 0x00FFFFFF;
  state.lighting = true;
  state.cullMode = CullMode::CounterClockwise;
  state.normalizeNormals = true;

  view = Matrix::LookAtLH({0.f, 0.f, 480.f}, {0.f, 0.f, 0.f}, {0.f, 1.f, 0.f});
  projection = Matrix::OrthoLH(1.f, 1.f, 0.f, 10000.f);

  state.material.diffuse = {1.f, 1.f, 1.f, 1.f};
  state.material.ambient = {1.f, 1.f, 1.f, 1.f};
  state.material.specular = {1.f, 1.f, 1.f, 1.f};
  state.material.emissive = {0.f, 0.f, 0.f, 0.f};
  state.material.power = 10.f;

  state.specularMaterialSource = MaterialSource::Material;

  Light light;
  light.type = LightType::Directional;
  light.diffuse = {1.f, 1.f, 1.f, 0.f};
  light.specular = {1.f, 1.f, 1.f, 0.f};
  light.ambient = {1.f, 1.f, 1.f, 0.f};
  light.direction = Vector3(-1.f, 1.f, -1.f).Normalized();
  state.light0 = light;
  state.light0Enabled = true;

  currentTexture = nullptr;
  state.colourOp = TextureOperation::Modulate;
  state.colourArg1 = TextureArgument::Texture;
  state.colourArg2 = TextureArgument::Diffuse;
  state.alphaOp = TextureOperation::Disable;
  state.alphaArg1 = TextureArgument::Texture;
}

bool GraphicsDevice::Resize()
{
  // The back buffer is the logical screen, whatever the window's real size:
  // a change of window size only changes the final scaling.
  const int width = backend ? backend->Width() : presentation.backBufferWidth;
  const int height = backend ? backend->Height() : presentation.backBufferHeight;
  presentation.backBufferWidth = width;
  presentation.backBufferHeight = height;

  Reset();

  projection = Matrix::PerspectiveFovLH(0.7853982f, static_cast<float>(width) / static_cast<float>(height),
                                        1.f, 10000.f);
  viewport = Viewport{0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.f, 1.f};
  return true;
}

bool GraphicsDevice::Reset()
{
  for(int i = 0; i < listeners.Count(); ++i)
    listeners.At(i)->OnLostDevice(*this);

  backBuffer.reset();
  ForgetShownFrame();
  if(!backend)
    return false;

  ResetError error = ResetError::None;
  if(simulatedResetFailures > 0)
  {
    --simulatedResetFailures;
    error = simulatedResetError;
  }
  else
  {
    error = backend->Reset();
    if(error == ResetError::None)
      simulatedLoss = false;
  }
  if(error != ResetError::None)
  {
    if(const char *name = ResetErrorName(error))
      resetLog.Write(std::string("graphics device reset failed: ") + name);
    return false;
  }

  SetupStates();
  RefreshBackBuffer();
  if(!backBuffer)
    return false;

  for(int i = 0; i < listeners.Count(); ++i)
    listeners.At(i)->OnResetDevice(*this);
  return true;
}

void GraphicsDevice::Release()
{
  frame.Clear();
  executed = 0;
  frameStarted = false;
  ForgetShownFrame();
  pools.clear();
  backBuffer.reset();
  // The listeners belong to others: forget them without touching them.
  while(listeners.Count())
    listeners.RemoveAt(0);
  currentTexture = nullptr;
  backend.reset();
}

void GraphicsDevice::RefreshBackBuffer()
{
  backBuffer = backend ? std::make_unique<Surface>(*backend, *this) : nullptr;
}

void GraphicsDevice::SetTransform(TransformKind kind, const Matrix &matrix)
{
  switch(kind)
  {
    case TransformKind::World: world = matrix; break;
    case TransformKind::View: view = matrix; break;
    case TransformKind::Projection: projection = matrix; break;
  }
}

const Matrix &GraphicsDevice::GetTransform(TransformKind kind) const
{
  switch(kind)
  {
    case TransformKind::World: return world;
    case TransformKind::View: return view;
    default: return projection;
  }
}

void GraphicsDevice::SetViewport(const Viewport &newViewport)
{
  viewport = newViewport;
}

void GraphicsDevice::Clear(bool target, bool depth, uint32_t argb, float z)
{
  if(!backend)
    return;
  DrawCommand command;
  command.kind = DrawCommand::Kind::Clear;
  command.viewport = viewport;
  command.target = target;
  command.depth = depth;
  command.argb = argb;
  command.z = z;
  frame.Add(command);
}

bool GraphicsDevice::BeginScene()
{
  if(!backend || inScene)
    return false;
  inScene = true;
  return true;
}

bool GraphicsDevice::EndScene()
{
  if(!inScene)
    return false;
  inScene = false;
  return true;
}

FaceDrawState GraphicsDevice::MakeFaceDrawState() const
{
  FaceDrawState draw;
  draw.transform = world * view * projection;
  draw.viewport = viewport;
  draw.cullMode = state.cullMode;
  draw.depthTest = state.zEnable;
  draw.depthWrite = state.zWriteEnable;
  draw.alphaBlend = state.alphaBlendEnable;

  // The vertices carry no normals, so with lighting on only the ambient and
  // emissive terms contribute: ambient light times the material's ambient,
  // plus its emissive colour, with the material's diffuse alpha.
  if(state.lighting)
  {
    const ColourValue ambient = FromArgb(state.ambient);
    const Material &m = state.material;
    draw.colour = {Saturate(ambient.r * m.ambient.r + m.emissive.r),
                   Saturate(ambient.g * m.ambient.g + m.emissive.g),
                   Saturate(ambient.b * m.ambient.b + m.emissive.b), Saturate(m.diffuse.a)};
    draw.useVertexColour = false;
  }
  else
    draw.useVertexColour = true;
  draw.modulate = state.colourOp == TextureOperation::Modulate;
  return draw;
}

void GraphicsDevice::DrawTriangleFan(const Vertex *vertices, int primitiveCount)
{
  if(!backend || !vertices || primitiveCount <= 0)
    return;
  DrawCommand command;
  command.kind = DrawCommand::Kind::Fan;
  command.state = MakeFaceDrawState();
  command.firstVertex = frame.AddVertices(vertices, primitiveCount + 2);
  command.primitiveCount = primitiveCount;
  command.texture = currentTexture;
  if(currentTexture)
  {
    command.identity = currentTexture->Identity();
    command.revision = currentTexture->Revision();
  }
  frame.Add(command);
}

void GraphicsDevice::DrawSpriteQuad(const DeviceTexture &texture, const SpriteQuad &quad)
{
  if(!backend)
    return;
  DrawCommand command;
  command.kind = DrawCommand::Kind::Sprite;
  command.quad = quad;
  command.quad.viewport = viewport;
  command.texture = &texture;
  command.identity = texture.Identity();
  command.revision = texture.Revision();
  frame.Add(command);
}

void GraphicsDevice::DrawFaceBatch(FaceBatch &batch)
{
  if(!backend || batch.QuadCount() == 0)
    return;
  DrawCommand command;
  command.kind = DrawCommand::Kind::Batch;
  command.state = MakeFaceDrawState();
  command.batch = &batch;
  command.identity = batch.Identity();
  command.revision = batch.Revision();
  command.poolIdentity = batch.Pool().Identity();
  command.poolRevision = batch.Pool().Revision();
  frame.Add(command);
}

void GraphicsDevice::MarkLayer()
{
  frame.MarkLayer();
}

void GraphicsDevice::Run(const DrawCommand &command)
{
  switch(command.kind)
  {
    case DrawCommand::Kind::Clear:
      backend->Clear(command.viewport, command.target, command.depth, command.argb, command.z);
      break;
    case DrawCommand::Kind::Fan:
      backend->DrawTriangleFan(frame.VerticesAt(command.firstVertex), command.primitiveCount, command.texture,
                               command.state);
      break;
    case DrawCommand::Kind::Sprite:
      backend->DrawSprite(*command.texture, command.quad);
      break;
    case DrawCommand::Kind::Batch:
      backend->DrawFaceBatch(*command.batch, command.state);
      break;
  }
}

void GraphicsDevice::Execute(int end)
{
  if(!backend)
    return;
  if(!frameStarted)
  {
    // Nothing recorded yet: the frame has not begun.
    if(frame.Count() == 0 && frame.MarkCount() == 0)
      return;
    StartFrame();
  }
  bool drew = false;
  while(true)
  {
    // Where a layer starts, the back buffer is copied for later frames. A
    // layer whose underside differs from the shown frame's is in motion and
    // likely to differ again next frame: its copy waits for the first frame
    // that rests (copying makes the renderer finish everything drawn so far
    // before the frame can go on).
    for(; nextMark < frame.MarkCount() && frame.Mark(nextMark) <= executed; ++nextMark)
    {
      // Marks recorded after an early part of the frame was carried out.
      if(static_cast<size_t>(nextMark) >= frameCopies.size())
        frameCopies.resize(static_cast<size_t>(nextMark) + 1, false);
      if(frame.Mark(nextMark) != executed || !copying)
        continue;
      if(shownValid && !frame.SameUpTo(shown, nextMark))
        copiesDeferred = true;
      else
        frameCopies[static_cast<size_t>(nextMark)] = backend->SaveCopy(nextMark);
    }
    if(executed >= end)
      break;
    if(!drew)
    {
      // Drawing the processor did on the back buffer goes back first.
      if(backBuffer)
        backBuffer->Flush();
      drew = true;
    }
    Run(frame.At(executed++));
  }
  if(drew && backBuffer)
    backBuffer->MarkStale();
}

void GraphicsDevice::StartFrame()
{
  frameStarted = true;
  nextMark = 0;
  copiesDeferred = false;
  restoredMark = -1;
  const bool lost = simulatedLoss || backend->IsLost();
  copying = !lost && !processorDrawn;
  frameCopies.assign(static_cast<size_t>(frame.MarkCount()), false);
  if(!copying || !shownValid)
    return;
  // The highest layer whose whole underside is recorded, unchanged from the
  // shown frame and copied: the copy comes back and drawing goes on from it.
  for(int m = std::min(frame.MarkCount(), static_cast<int>(layerCopies.size())) - 1; m >= 0; --m)
    if(layerCopies[static_cast<size_t>(m)] && frame.SameUpTo(shown, m))
    {
      if(backBuffer)
        backBuffer->Flush();
      if(backend->RestoreCopy(m))
      {
        executed = frame.Mark(m);
        restoredMark = m;
        // The copies below it hold what they held; this one too.
        for(int below = 0; below <= m; ++below)
          frameCopies[static_cast<size_t>(below)] = true;
        nextMark = m + 1;
        if(backBuffer)
          backBuffer->MarkStale();
      }
      break;
    }
}

void GraphicsDevice::ExecutePending()
{
  Execute(frame.Count());
}

void GraphicsDevice::Submit()
{
  if(!backend)
    return;
  ExecutePending();
  backend->Submit();
}

void GraphicsDevice::ForgetShownFrame()
{
  shown.Clear();
  shownValid = false;
  layerCopies.clear();
}

PixelRect GraphicsDevice::Whole() const
{
  return {0, 0, presentation.backBufferWidth, presentation.backBufferHeight};
}

PresentResult GraphicsDevice::Present()
{
  return PresentChanged(Whole());
}

PresentResult GraphicsDevice::PresentChanged(const PixelRect &changed)
{
  if(!backend)
    return PresentResult::DeviceLost;
  if(simulatedLoss || backend->IsLost())
    return PresentResult::DeviceLost;
  ExecutePending();
  if(backBuffer)
    backBuffer->Flush();
  if(!backend->Present(changed))
    return PresentResult::DeviceLost;
  return PresentResult::Ok;
}

bool GraphicsDevice::PresentFrame()
{
  if(!backend)
    return false;
  const bool lost = simulatedLoss || backend->IsLost();
  const bool comparable = !lost && !frameStarted && !processorDrawn && shownValid;
  // What may differ from the picture presented last: all of it, unless the
  // frame started from a copy of the shown frame's lower layers.
  PixelRect changed = Whole();
  if(comparable && frame == shown)
  {
    // The frame draws exactly what the window shows. When the shown frame
    // left copies for later, it is drawn again now, with them (starting it
    // clears the flag), and not presented: the back buffer ends as it was.
    if(copiesDeferred)
    {
      Execute(frame.Count());
      if(frameCopies.size() == static_cast<size_t>(frame.MarkCount()))
        layerCopies = frameCopies;
      executed = 0;
      frameStarted = false;
    }
    frame.Clear();
    if(!presentRequested)
    {
      ++restedFrames;
      return false;
    }
  }
  else
  {
    Execute(frame.Count());
    // The copy put back the shown picture as it was at that mark (a copy is
    // only put back under a shown frame with the same layers up to it): only
    // what either frame draws above it can differ. Drawing by the processor
    // may be anywhere.
    if(restoredMark >= 0 && !processorDrawn && !presentRequested)
      changed = frame.Bounds(frame.Mark(restoredMark)).Union(shown.Bounds(shown.Mark(restoredMark)));
    // Copies that the frame's marks did not get are not to be trusted.
    if(frameCopies.size() != static_cast<size_t>(frame.MarkCount()))
      frameCopies.assign(static_cast<size_t>(frame.MarkCount()), false);
    layerCopies = frameCopies;
    std::swap(shown, frame);
    shownValid = !processorDrawn && copying;
    if(!shownValid)
      layerCopies.clear();
    frame.Clear();
    executed = 0;
    frameStarted = false;
  }
  processorDrawn = false;
  presentRequested = false;
  restoredMark = -1;

  const PresentResult result = PresentChanged(changed);
  if(result == PresentResult::Ok)
  {
    ++presentedFrames;
    return true;
  }
  ForgetShownFrame();
  if(TestCooperativeLevel() == CooperativeLevel::DeviceNotReset)
  {
    Reset();
    Resize();
  }
  return false;
}


CooperativeLevel GraphicsDevice::TestCooperativeLevel() const
{
  if(!backend)
    return CooperativeLevel::DeviceLost;
  if(!simulatedLoss && !backend->IsLost())
    return CooperativeLevel::Ok;
  if(simulatedLoss || backend->CanReset())
    return CooperativeLevel::DeviceNotReset;
  return CooperativeLevel::DeviceLost;
}

std::unique_ptr<DeviceTexture> GraphicsDevice::CreateTexture(int width, int height, const uint32_t *argb)
{
  if(!backend || width <= 0 || height <= 0)
    return nullptr;
  std::unique_ptr<DeviceTexture> texture = backend->CreateTexture(width, height, argb);
  if(texture)
    texture->SetIdentity(nextIdentity++);
  return texture;
}

std::shared_ptr<LayerPool> GraphicsDevice::PoolFor(int size, int kept)
{
  auto &pool = pools[{size, kept}];
  if(!pool)
  {
    pool = std::make_shared<LayerPool>(size, kept);
    pool->SetIdentity(nextIdentity++);
  }
  return pool->IsValid() ? pool : nullptr;
}

std::unique_ptr<DeviceTexture> GraphicsDevice::CreateLayerTexture(int size, int kept)
{
  if(!backend)
    return nullptr;
  std::shared_ptr<LayerPool> pool = PoolFor(size, kept);
  if(!pool)
    return nullptr;
  auto texture = std::make_unique<LayerTexture>(std::move(pool));
  if(texture->Layer() < 0)
    return nullptr;
  texture->SetIdentity(nextIdentity++);
  return texture;
}

std::unique_ptr<FaceBatch> GraphicsDevice::CreateFaceBatch(int size, int kept)
{
  if(!backend)
    return nullptr;
  std::shared_ptr<LayerPool> pool = PoolFor(size, kept);
  if(!pool)
    return nullptr;
  auto batch = std::make_unique<FaceBatch>(std::move(pool));
  batch->SetIdentity(nextIdentity++);
  return batch;
}

std::unique_ptr<Sprite> GraphicsDevice::CreateSprite()
{
  if(!backend)
    return nullptr;
  return std::make_unique<Sprite>(*this);
}

void GraphicsDevice::SimulateDeviceLoss(int failingResets, ResetError error)
{
  simulatedLoss = true;
  simulatedResetFailures = failingResets;
  simulatedResetError = error;
}
