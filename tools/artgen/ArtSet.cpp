#include "ArtSet.h"

#include "base/Log.h"

#include <stdexcept>

CairoImage &ArtSet::Add(const std::string &name, std::unique_ptr<CairoImage> image)
{
  if(Find(name) != nullptr)
  {
    throw std::logic_error("picture made twice: " + name);
  }
  entries.push_back({name, std::move(image)});
  return *entries.back().image;
}

const CairoImage *ArtSet::Find(const std::string &name) const
{
  for(const Entry &entry : entries)
  {
    if(entry.name == name)
    {
      return entry.image.get();
    }
  }
  return nullptr;
}

bool ArtSet::WriteAll(const std::string &folder) const
{
  for(const Entry &entry : entries)
  {
    const std::string path = folder + "/" + entry.name;
    const bool bmp = entry.name.size() > 4 && entry.name.compare(entry.name.size() - 4, 4, ".bmp") == 0;
    const bool written = bmp ? entry.image->WriteBmp(path) : entry.image->WritePng(path);
    if(!written)
    {
      LogLine("artgen: cannot write " + path);
      return false;
    }
  }
  return true;
}
