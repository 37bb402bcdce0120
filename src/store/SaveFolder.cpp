#include "store/SaveFolder.h"

#include "base/Log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
  // The variable's value; empty when it is not set.
  std::string Variable(const char *name)
  {
    const char *value = std::getenv(name);
    return value ? value : "";
  }

  bool IsFolder(const std::string &path)
  {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }
}

SaveFolder::SaveFolder(std::string name, std::string why)
  : folder(std::move(name)), missing(std::move(why))
{
  while(folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
}

SaveFolder SaveFolder::Choose(const std::string &option, const std::string &dataFolder)
{
  if(!option.empty())
    return SaveFolder(option);

  std::error_code error;
  const std::string sourceTreeData = "data";
  if(IsFolder(sourceTreeData) && std::filesystem::equivalent(dataFolder, sourceTreeData, error) &&
     access(sourceTreeData.c_str(), W_OK | X_OK) == 0)
    return SaveFolder(sourceTreeData);

  // Relative values are to be ignored, as for every XDG base directory.
  const std::string dataHome = Variable("XDG_DATA_HOME");
  if(!dataHome.empty() && dataHome.front() == '/')
    return SaveFolder((std::filesystem::path(dataHome) / OwnFolderName).string());
  const std::string home = Variable("HOME");
  if(!home.empty())
    return SaveFolder((std::filesystem::path(home) / ".local" / "share" / OwnFolderName).string());
  return SaveFolder("", "nowhere to save: neither --savedir nor XDG_DATA_HOME nor HOME is given");
}

bool SaveFolder::Prepare() const
{
  std::string reason;
  if(Prepare(reason))
    return true;
  LogLine(reason);
  return false;
}

bool SaveFolder::Prepare(std::string &reason) const
{
  if(folder.empty())
  {
    reason = missing.empty() ? "nowhere to save: no save folder was chosen" : missing;
    return false;
  }

  // Each missing folder on the way is made 0700 whatever the umask: the
  // child's work is nobody else's to read.
  std::filesystem::path made;
  for(const std::filesystem::path &part : std::filesystem::path(folder))
  {
    made /= part;
    const std::string step = made.string();
    if(part.empty() || IsFolder(step))
      continue;
    if(mkdir(step.c_str(), 0700) != 0 && !(errno == EEXIST && IsFolder(step)))
    {
      reason = "cannot make the save folder " + folder + ": " + std::strerror(errno);
      return false;
    }
    chmod(step.c_str(), 0700);
  }
  if(!IsFolder(folder))
  {
    reason = "cannot use the save folder " + folder + ": it is not a folder";
    return false;
  }
  if(access(folder.c_str(), W_OK | X_OK) != 0)
  {
    reason = "cannot write into the save folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

std::string SaveFolder::Path(std::string_view name) const
{
  std::string path = folder;
  if(!path.empty() && path.back() != '/')
    path += '/';
  path += name;
  return path;
}
