#include "platform/GlContext.h"

#include "base/Log.h"

#include <cstdlib>
#include <string>

GlContext::~GlContext()
{
  Close();
}

bool GlContext::Open(SDL_Window *window)
{
  // The subsystem stays up as long as the context does, whatever the window does.
  if(SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
  {
    LogLine(std::string("cannot start SDL video: ") + SDL_GetError());
    return false;
  }
  videoInitialised = true;
  if(!Create(window))
    return false;
  // Where the swap cannot wait for the retrace, Present paces itself.
  SDL_GL_SetSwapInterval(1);
  SDL_ClearError();
  return true;
}

void GlContext::Close()
{
  if(context)
  {
    SDL_GL_DeleteContext(context);
    context = nullptr;
  }
  if(videoInitialised)
  {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoInitialised = false;
  }
}

bool GlContext::Create(SDL_Window *window)
{
  // A hardware-accelerated context first, robust where the driver offers it.
  for(bool robust : {true, false})
    if((context = TryContext(window, 1, robust)))
      return true;
  // Then Mesa's software renderer.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  for(bool robust : {true, false})
    if((context = TryContext(window, -1, robust)))
      return true;
  LogLine(std::string("cannot create an OpenGL 3.3 context: ") + SDL_GetError());
  return false;
}

SDL_GLContext GlContext::TryContext(SDL_Window *window, int accelerated, bool robust)
{
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, accelerated);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, robust ? SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG : 0);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION,
                      robust ? SDL_GL_CONTEXT_RESET_LOSE_CONTEXT : SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
  SDL_GLContext made = SDL_GL_CreateContext(window);
  if(!made)
    return nullptr;
  if(epoxy_gl_version() < 33)
  {
    SDL_GL_DeleteContext(made);
    return nullptr;
  }
  return made;
}

void GlContext::FindResetQuery()
{
  // A context made with reset notification answers reset queries.
  resetQuery = ResetQuery::None;
  GLint strategy = GL_NO_RESET_NOTIFICATION;
  if(epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_KHR_robustness"))
  {
    glGetIntegerv(GL_RESET_NOTIFICATION_STRATEGY, &strategy);
    if(strategy == GL_LOSE_CONTEXT_ON_RESET)
      resetQuery = ResetQuery::Core;
  }
  else if(epoxy_has_gl_extension("GL_ARB_robustness"))
  {
    glGetIntegerv(GL_RESET_NOTIFICATION_STRATEGY_ARB, &strategy);
    if(strategy == GL_LOSE_CONTEXT_ON_RESET_ARB)
      resetQuery = ResetQuery::Arb;
  }
}

bool GlContext::CheckReset()
{
  if(lost)
    return true;
  if(!IsCurrent() || QueryResetStatus() == GL_NO_ERROR)
    return false;
  LogLine("the OpenGL context was reset by the driver");
  lost = true;
  return true;
}

bool GlContext::CanReset() const
{
  if(!lost)
    return true;
  // The driver reports the reset until it has finished with it.
  return IsCurrent() && QueryResetStatus() == GL_NO_ERROR;
}

bool GlContext::Recreate(SDL_Window *window)
{
  SDL_GL_DeleteContext(context);
  context = nullptr;
  return window && Create(window);
}

bool GlContext::IsCurrent() const
{
  return context && SDL_GL_GetCurrentContext() == context;
}

GLenum GlContext::QueryResetStatus() const
{
  switch(resetQuery)
  {
    case ResetQuery::Core: return glGetGraphicsResetStatus();
    case ResetQuery::Arb: return glGetGraphicsResetStatusARB();
    default: return GL_NO_ERROR;
  }
}
