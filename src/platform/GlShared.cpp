#include "platform/GlShared.h"

bool GlShared::Usable() const
{
  return context && SDL_GL_GetCurrentContext() == context;
}

void GlShared::Bind(GLuint name)
{
  if(boundTexture == name)
    return;
  glBindTexture(GL_TEXTURE_2D, name);
  boundTexture = name;
}
