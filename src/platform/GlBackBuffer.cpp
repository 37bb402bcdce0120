#include "platform/GlBackBuffer.h"

#include "platform/NativeWindow.h"

#include <SDL.h>

#include <cstddef>

GlBackBuffer::GlBackBuffer(NativeWindow &window, GlShared &shared, int width, int height)
  : window(window), shared(shared), width(width), height(height),
    scratch(static_cast<size_t>(width) * static_cast<size_t>(height), 0), presenter(shared)
{
}

bool GlBackBuffer::Create()
{
  if(copiesGeneration != shared.generation)
  {
    copies.clear();
    copiesGeneration = shared.generation;
  }
  while(glGetError() != GL_NO_ERROR)
  {
  }
  glGenTextures(1, &colourTexture);
  shared.Bind(colourTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
  glGenRenderbuffers(1, &depthBuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
  if(glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || glGetError() != GL_NO_ERROR)
  {
    Destroy();
    return false;
  }
  // A new back buffer starts black and opaque with the far depth.
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glClearColor(0.f, 0.f, 0.f, 1.f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  partialCopy.Setup(window.Handle());
  copiedWidth = 0;
  copiedHeight = 0;
  return true;
}

void GlBackBuffer::Destroy()
{
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer);
  glDeleteRenderbuffers(1, &depthBuffer);
  if(shared.boundTexture == colourTexture)
    shared.boundTexture = 0;
  glDeleteTextures(1, &colourTexture);
  DestroyCopies();
  presenter.Destroy();
  partialCopy.Forget();
  copiedWidth = 0;
  copiedHeight = 0;
  framebuffer = 0;
  depthBuffer = 0;
  colourTexture = 0;
}

void GlBackBuffer::DestroyCopies()
{
  for(Copy &copy : copies)
  {
    glDeleteFramebuffers(1, &copy.framebuffer);
    glDeleteRenderbuffers(1, &copy.depth);
    if(shared.boundTexture == copy.colour)
      shared.boundTexture = 0;
    glDeleteTextures(1, &copy.colour);
  }
  copies.clear();
}

void GlBackBuffer::Blit(GLuint from, GLuint to)
{
  // Blits obey the scissor test, which every draw leaves on, and the depth
  // write mask.
  glDisable(GL_SCISSOR_TEST);
  glDepthMask(GL_TRUE);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
  glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glEnable(GL_SCISSOR_TEST);
}

bool GlBackBuffer::SaveCopy(int slot)
{
  if(framebuffer == 0 || slot < 0 || slot > 15)
    return false;
  if(copies.size() <= static_cast<size_t>(slot))
    copies.resize(static_cast<size_t>(slot) + 1);
  Copy &copy = copies[static_cast<size_t>(slot)];
  if(copy.framebuffer == 0)
  {
    while(glGetError() != GL_NO_ERROR)
    {
    }
    glGenTextures(1, &copy.colour);
    shared.Bind(copy.colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glGenRenderbuffers(1, &copy.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, copy.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glGenFramebuffers(1, &copy.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, copy.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, copy.colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, copy.depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if(!complete || glGetError() != GL_NO_ERROR)
    {
      glDeleteFramebuffers(1, &copy.framebuffer);
      glDeleteRenderbuffers(1, &copy.depth);
      if(shared.boundTexture == copy.colour)
        shared.boundTexture = 0;
      glDeleteTextures(1, &copy.colour);
      copy = Copy{};
      return false;
    }
  }
  Blit(framebuffer, copy.framebuffer);
  return true;
}

bool GlBackBuffer::RestoreCopy(int slot)
{
  if(framebuffer == 0 || slot < 0 || static_cast<size_t>(slot) >= copies.size() ||
     copies[static_cast<size_t>(slot)].framebuffer == 0)
    return false;
  Blit(copies[static_cast<size_t>(slot)].framebuffer, framebuffer);
  return true;
}

void GlBackBuffer::Read(uint32_t *pixels)
{
  glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, scratch.data());
  // GL's row 0 is the bottom of the screen.
  for(int y = 0; y < height; ++y)
  {
    const uint32_t *from = &scratch[static_cast<size_t>(height - 1 - y) * width];
    uint32_t *to = pixels + static_cast<size_t>(y) * width;
    for(int x = 0; x < width; ++x)
      to[x] = from[x] | 0xFF000000u;
  }
}

void GlBackBuffer::Write(const uint32_t *pixels)
{
  for(int y = 0; y < height; ++y)
  {
    const uint32_t *from = pixels + static_cast<size_t>(y) * width;
    uint32_t *to = &scratch[static_cast<size_t>(height - 1 - y) * width];
    for(int x = 0; x < width; ++x)
      to[x] = from[x] | 0xFF000000u;
  }
  shared.Bind(colourTexture);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, scratch.data());
}

void GlBackBuffer::Present(const PixelRect &changed)
{
  if(SDL_Window *handle = window.Handle())
  {
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(handle, &drawableWidth, &drawableHeight);
    if(partialCopy.Usable())
    {
      // The drawable's back buffer holds the picture presented last, unless
      // nothing was copied since it was made or it has changed size; and a
      // change of the whole back buffer (the window was uncovered, say)
      // takes in the bars too. Then all of it is drawn, after one swap: the
      // driver takes a new size of the drawable only at a swap (what that
      // shows is drawn over at once).
      const bool whole = changed.left <= 0 && changed.top <= 0 && changed.right >= width && changed.bottom >= height;
      const bool kept = copiedWidth == drawableWidth && copiedHeight == drawableHeight && !whole;
      if(!kept)
        SDL_GL_SwapWindow(handle);
      const PixelRect drawn = presenter.Draw(framebuffer, colourTexture, width, height, drawableWidth,
                                             drawableHeight, kept ? &changed : nullptr);
      if(!drawn.Empty())
      {
        // The gate times the picture as finished: the renderer is done with
        // it, and only the copy is left.
        if(gate)
        {
          glFinish();
          gate->BeforeShow();
        }
        partialCopy.Copy(drawn.left, drawableHeight - drawn.bottom, drawn.Width(), drawn.Height());
        if(gate)
          gate->AfterShow();
      }
      copiedWidth = drawableWidth;
      copiedHeight = drawableHeight;
    }
    else
    {
      presenter.Draw(framebuffer, colourTexture, width, height, drawableWidth, drawableHeight);
      SDL_GL_SwapWindow(handle);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
  }
}

