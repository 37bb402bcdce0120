#include "platform/GlTexture.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

GlTexture::GlTexture(std::shared_ptr<GlShared> shared, int width, int height, const uint32_t *argb)
  : DeviceTexture(width, height), shared(std::move(shared)),
    texels(static_cast<size_t>(width) * static_cast<size_t>(height), 0)
{
  if(argb)
    std::memcpy(texels.data(), argb, texels.size() * sizeof(uint32_t));
  this->shared->textures.push_back(this);
  Upload();
}

GlTexture::~GlTexture()
{
  auto &list = shared->textures;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if(shared->Usable() && name != 0)
  {
    if(shared->boundTexture == name)
      shared->boundTexture = 0;
    glDeleteTextures(1, &name);
  }
}

bool GlTexture::Upload()
{
  name = 0;
  while(glGetError() != GL_NO_ERROR)
  {
  }
  glGenTextures(1, &name);
  shared->Bind(name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Width(), Height(), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               texels.data());
  if(glGetError() != GL_NO_ERROR)
  {
    shared->boundTexture = 0;
    glDeleteTextures(1, &name);
    name = 0;
    return false;
  }
  return true;
}

bool GlTexture::Store(int x, int y, int w, int h, const uint32_t *argb, int pitch)
{
  for(int row = 0; row < h; ++row)
    std::memcpy(&texels[static_cast<size_t>(y + row) * Width() + x], argb + static_cast<size_t>(row) * pitch,
                static_cast<size_t>(w) * sizeof(uint32_t));
  if(!shared->Usable() || name == 0)
    return false;
  shared->Bind(name);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, Width());
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                  &texels[static_cast<size_t>(y) * Width() + x]);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  return true;
}

bool GlTexture::Read(uint32_t *argb) const
{
  if(!argb)
    return false;
  if(!shared->Usable() || name == 0)
  {
    std::memcpy(argb, texels.data(), texels.size() * sizeof(uint32_t));
    return true;
  }
  shared->Bind(name);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb);
  return true;
}
