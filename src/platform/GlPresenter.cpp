#include "platform/GlPresenter.h"

#include "platform/GlShaderProgram.h"

#include <algorithm>
#include <cstddef>

PixelRect GlPresenter::Draw(GLuint source, GLuint sourceTexture, int sourceWidth, int sourceHeight,
                            int drawableWidth, int drawableHeight, const PixelRect *changed)
{
  const Letterbox box = Letterbox::Fit(drawableWidth, drawableHeight, sourceWidth, sourceHeight);
  const PixelRect drawn = changed ? box.Covering(*changed) : PixelRect{0, 0, drawableWidth, drawableHeight};
  if(drawn.Empty())
    return drawn;
  const PixelRect *only = changed ? &drawn : nullptr;
  capturedEnlarged = ArgbImage{};

  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0.f, 0.f, 0.f, 1.f);
  if(box.width <= 0 || box.height <= 0)
  {
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  else
  {
    // GL's rows count up from the bottom.
    const int bottom = drawableHeight - box.y - box.height;
    // Only the black bars beside or above and below the picture are
    // cleared; the picture covers the rest.
    const int bars[4][4] = {{0, 0, box.x, drawableHeight},
                            {box.x + box.width, 0, drawableWidth - box.x - box.width, drawableHeight},
                            {box.x, 0, box.width, bottom},
                            {box.x, bottom + box.height, box.width, drawableHeight - bottom - box.height}};
    glEnable(GL_SCISSOR_TEST);
    if(!only)
      for(const auto &bar : bars)
        if(bar[2] > 0 && bar[3] > 0)
        {
          glScissor(bar[0], bar[1], bar[2], bar[3]);
          glClear(GL_COLOR_BUFFER_BIT);
        }
    glDisable(GL_SCISSOR_TEST);

    GLuint from = source;
    GLuint fromTexture = sourceTexture;
    int fromWidth = sourceWidth;
    int fromHeight = sourceHeight;
    GLenum filter = GL_NEAREST;
    if(box.NeedsStretch())
    {
      filter = GL_LINEAR;
      // At a factor of one the source itself is the enlarged picture.
      if(box.factor > 1 && Enlarged(box.EnlargedWidth(), box.EnlargedHeight()))
      {
        // Each enlarged pixel repeats one source pixel: only the changed
        // ones need enlarging again (GL's rows count up from the bottom).
        PixelRect part{0, 0, sourceWidth, sourceHeight};
        if(changed && enlargedWhole)
        {
          part.left = std::clamp(changed->left, 0, sourceWidth);
          part.right = std::clamp(changed->right, part.left, sourceWidth);
          part.top = std::clamp(sourceHeight - changed->bottom, 0, sourceHeight);
          part.bottom = std::clamp(sourceHeight - changed->top, part.top, sourceHeight);
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        glBlitFramebuffer(part.left, part.top, part.right, part.bottom, part.left * box.factor, part.top * box.factor,
                          part.right * box.factor, part.bottom * box.factor, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        enlargedWhole = true;
        from = framebuffer;
        fromTexture = colour;
        fromWidth = width;
        fromHeight = height;
        if(capturing)
        {
          glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
          Capture(width, height, capturedEnlarged);
        }
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
      }
    }
    if(only)
    {
      // Only the pixels asked for are drawn into the window.
      glEnable(GL_SCISSOR_TEST);
      glScissor(only->left, drawableHeight - only->bottom, only->Width(), only->Height());
    }
    if(filter == GL_LINEAR && fromTexture != 0 && StretchReady())
      Stretch(fromTexture, box, bottom);
    else
    {
      glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
      glBlitFramebuffer(0, 0, fromWidth, fromHeight, box.x, bottom, box.x + box.width, bottom + box.height,
                        GL_COLOR_BUFFER_BIT, filter);
    }
    glDisable(GL_SCISSOR_TEST);
  }
  if(capturing)
  {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    Capture(drawableWidth, drawableHeight, capturedWindow);
  }
  return drawn;
}

void GlPresenter::CheckGeneration()
{
  if(generation == shared.generation)
    return;
  framebuffer = 0;
  colour = 0;
  width = 0;
  height = 0;
  enlargedWhole = false;
  program = 0;
  vertexArray = 0;
  sampler = 0;
  stretchFailed = false;
  generation = shared.generation;
}

bool GlPresenter::StretchReady()
{
  CheckGeneration();
  if(program != 0)
    return true;
  if(stretchFailed)
    return false;
  program = GlShaderProgram::Link(GlShaderProgram::StretchVertexShader, GlShaderProgram::StretchFragmentShader);
  glGenVertexArrays(1, &vertexArray);
  glGenSamplers(1, &sampler);
  if(program == 0 || vertexArray == 0 || sampler == 0)
  {
    DestroyStretch();
    stretchFailed = true;
    return false;
  }
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "picture"), 0);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return true;
}

void GlPresenter::Stretch(GLuint texture, const Letterbox &box, int bottom)
{
  // The rectangle is the viewport; its pixel centres sample the picture at
  // the same places as a linear blit between the two rectangles would.
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glViewport(box.x, bottom, box.width, box.height);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glDisable(GL_COLOR_LOGIC_OP);
  glUseProgram(program);
  glBindVertexArray(vertexArray);
  glActiveTexture(GL_TEXTURE0);
  glBindSampler(0, sampler);
  shared.Bind(texture);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

bool GlPresenter::Enlarged(int enlargedWidth, int enlargedHeight)
{
  CheckGeneration();
  if(framebuffer != 0 && width == enlargedWidth && height == enlargedHeight)
    return true;
  DestroyEnlarged();
  while(glGetError() != GL_NO_ERROR)
  {
  }
  glGenTextures(1, &colour);
  shared.Bind(colour);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, enlargedWidth, enlargedHeight, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               nullptr);
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
  glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
  const bool complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  if(!complete || glGetError() != GL_NO_ERROR)
  {
    // Too large for the driver: the picture is stretched from the source.
    DestroyEnlarged();
    return false;
  }
  width = enlargedWidth;
  height = enlargedHeight;
  return true;
}

void GlPresenter::Destroy()
{
  DestroyEnlarged();
  DestroyStretch();
}

void GlPresenter::DestroyStretch()
{
  if(generation == shared.generation)
  {
    glDeleteProgram(program);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteSamplers(1, &sampler);
  }
  program = 0;
  vertexArray = 0;
  sampler = 0;
}

void GlPresenter::DestroyEnlarged()
{
  if(generation == shared.generation)
  {
    glDeleteFramebuffers(1, &framebuffer);
    if(shared.boundTexture == colour)
      shared.boundTexture = 0;
    glDeleteTextures(1, &colour);
  }
  framebuffer = 0;
  colour = 0;
  width = 0;
  height = 0;
  enlargedWhole = false;
}

void GlPresenter::Capture(int captureWidth, int captureHeight, ArgbImage &image)
{
  image.width = captureWidth;
  image.height = captureHeight;
  std::vector<uint32_t> rows(static_cast<size_t>(captureWidth) * static_cast<size_t>(captureHeight));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, captureWidth, captureHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
  image.pixels.resize(rows.size());
  for(int y = 0; y < captureHeight; ++y)
    for(int x = 0; x < captureWidth; ++x)
      image.pixels[static_cast<size_t>(y) * captureWidth + x] =
        rows[static_cast<size_t>(captureHeight - 1 - y) * captureWidth + x] | 0xFF000000u;
}
