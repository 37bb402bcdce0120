#include "platform/GlBackend.h"

#include "platform/Log.h"

// Replaced by the OpenGL implementation.
std::unique_ptr<RenderBackend> GlBackend::Create(NativeWindow &, int, int)
{
  LogLine("the OpenGL back end is not built yet");
  return nullptr;
}
