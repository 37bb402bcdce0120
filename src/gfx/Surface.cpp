#include "gfx/Surface.h"

#include "gfx/GraphicsDevice.h"
#include "gfx/RenderBackend.h"

Surface::Surface(RenderBackend &backend, GraphicsDevice &device)
  : backend(backend), device(device), width(backend.Width()), height(backend.Height()),
    pixels(static_cast<size_t>(width) * height, 0)
{
  PixelView view;
  view.bits = reinterpret_cast<uint8_t *>(pixels.data());
  view.width = width;
  view.height = height;
  view.pitch = static_cast<std::ptrdiff_t>(width) * 4;
  view.format = PixelFormat::Xrgb32;
  context.SetTarget(view);
}

DrawingContext *Surface::GetDC()
{
  if(contextOut)
    return nullptr;
  Pull();
  device.NoteProcessorDrawing();
  contextOut = true;
  context.SetPen(0);
  context.SetBrush(0xFFFFFF);
  return &context;
}

void Surface::ReleaseDC(DrawingContext *released)
{
  if(!contextOut || released != &context)
    return;
  contextOut = false;
  dirty = true;
}

const uint32_t *Surface::LockRect(int &pitch)
{
  Pull();
  pitch = width;
  return pixels.data();
}

void Surface::UnlockRect()
{
}

void Surface::Pull()
{
  device.ExecutePending();
  if(!stale)
    return;
  // Drawing done here and not yet written back would be lost by the read.
  Flush();
  backend.ReadBackBuffer(pixels.data());
  stale = false;
}

void Surface::Flush()
{
  if(!dirty)
    return;
  backend.WriteBackBuffer(pixels.data());
  dirty = false;
}
