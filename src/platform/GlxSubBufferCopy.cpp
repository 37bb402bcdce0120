#include "platform/GlxSubBufferCopy.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <epoxy/gl.h>
#include <epoxy/glx.h>

#include <cstring>
#include <initializer_list>

namespace {
  // Mesa's software renderers name themselves so.
  bool SoftwareRenderer()
  {
    const char *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    if(!renderer)
      return false;
    for(const char *name : {"llvmpipe", "softpipe", "swrast"})
      if(std::strstr(renderer, name))
        return true;
    return false;
  }
}

void GlxSubBufferCopy::Setup(SDL_Window *window)
{
  Forget();
  if(!window)
    return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if(!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
    return;
  Display *x11 = info.info.x11.display;
  // The context must be a GLX one: under an X server SDL may also make EGL ones.
  if(!epoxy_has_glx(x11) || !glXGetCurrentContext() || !SoftwareRenderer() ||
     !epoxy_has_glx_extension(x11, DefaultScreen(x11), "GLX_MESA_copy_sub_buffer"))
    return;
  display = x11;
  drawable = info.info.x11.window;
}

void GlxSubBufferCopy::Forget()
{
  display = nullptr;
  drawable = 0;
}

void GlxSubBufferCopy::Copy(int x, int y, int width, int height) const
{
  if(!Usable() || width <= 0 || height <= 0)
    return;
  glXCopySubBufferMESA(static_cast<Display *>(display), drawable, x, y, width, height);
}
