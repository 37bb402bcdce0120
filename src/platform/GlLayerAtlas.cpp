#include "platform/GlLayerAtlas.h"

#include "gfx/LayerPool.h"

#include <algorithm>
#include <string>

GlLayerAtlas::GlLayerAtlas(std::shared_ptr<GlShared> shared, int maxTextureSize)
  : shared(std::move(shared)), maxTextureSize(maxTextureSize)
{
}

GlLayerAtlas::~GlLayerAtlas()
{
  Destroy();
}

void GlLayerAtlas::Destroy()
{
  if(name != 0 && shared->Usable() && generation == shared->generation)
  {
    if(shared->boundTexture == name)
      shared->boundTexture = 0;
    glDeleteTextures(1, &name);
  }
  name = 0;
  height = 0;
}

bool GlLayerAtlas::Sync(LayerPool &pool)
{
  int firstRow = 0;
  int endRow = 0;
  const bool changed = pool.TakeChanges(firstRow, endRow);
  // Names of an earlier context mean nothing in this one.
  if(generation != shared->generation)
  {
    name = 0;
    height = 0;
  }
  const int needed = pool.AtlasHeight();
  if(needed == 0)
    return false;
  if(name == 0 || height < needed)
  {
    Destroy();
    if(needed > maxTextureSize || LayerPool::AtlasWidth > maxTextureSize)
    {
      tooTallLog.Write("too many faces for one texture of this graphics driver (" + std::to_string(needed) + " rows)");
      return false;
    }
    while(glGetError() != GL_NO_ERROR)
    {
    }
    generation = shared->generation;
    // Room to grow, so that placing cubes one by one does not remake it each time.
    height = std::min(maxTextureSize, needed + needed / 2);
    height -= height % pool.LayerSize();
    glGenTextures(1, &name);
    shared->Bind(name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, LayerPool::AtlasWidth, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 nullptr);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, LayerPool::AtlasWidth, needed, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    pool.Atlas());
    if(glGetError() != GL_NO_ERROR)
    {
      Destroy();
      return false;
    }
    return true;
  }
  shared->Bind(name);
  endRow = std::min(endRow, needed);
  if(changed && endRow > firstRow)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, firstRow, LayerPool::AtlasWidth, endRow - firstRow, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, pool.Atlas() + static_cast<size_t>(firstRow) * pool.Pitch());
  return true;
}
