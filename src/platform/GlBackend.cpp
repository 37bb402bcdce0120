#include "platform/GlBackend.h"

#include "platform/OpenGlBackend.h"

#include <malloc.h>

std::unique_ptr<RenderBackend> GlBackend::Create(NativeWindow &window, int width, int height)
{
  if(width <= 0 || height <= 0)
    return nullptr;
  // Mesa's software renderer allocates its per-frame work lists afresh every
  // frame and frees them after. By default the C library hands such memory
  // back to the system at once and every frame faults it in again, which
  // costs far more than the drawing (tens of microseconds per texture change).
  // Keep freed memory in the process instead.
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  auto backend = std::make_unique<OpenGlBackend>(window, width, height);
  if(!backend->Initialise())
    return nullptr;
  return backend;
}

bool GlBackend::CapturePresents(RenderBackend &backend, bool on)
{
  auto *own = dynamic_cast<OpenGlBackend *>(&backend);
  if(!own)
    return false;
  own->Presenter().SetCapture(on);
  return true;
}

ArgbImage GlBackend::CapturedWindow(RenderBackend &backend)
{
  auto *own = dynamic_cast<OpenGlBackend *>(&backend);
  return own ? own->Presenter().CapturedWindow() : ArgbImage{};
}

ArgbImage GlBackend::CapturedEnlarged(RenderBackend &backend)
{
  auto *own = dynamic_cast<OpenGlBackend *>(&backend);
  return own ? own->Presenter().CapturedEnlarged() : ArgbImage{};
}
