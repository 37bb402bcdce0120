#include "res/DataFiles.h"

#include <utility>

DataFiles::DataFiles(std::string name)
  : folder(std::move(name))
{
  while(folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
}

std::string DataFiles::Path(std::string_view name) const
{
  if(folder.empty())
    return std::string(name);
  std::string path = folder;
  if(path.back() != '/')
    path += '/';
  path += name;
  return path;
}
