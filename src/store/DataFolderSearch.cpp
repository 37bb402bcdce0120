#include "store/DataFolderSearch.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {
  // The first picture and the first sound the studio loads.
  const char *const MarkerFiles[] = {"title.bmp", "start.wav"};

  bool IsFile(const std::filesystem::path &path)
  {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  }
}

bool DataFolderSearch::Run(const std::string &option, const std::string &variable, const std::string &executable)
{
  found.clear();
  tried.clear();
  passedOver.clear();
  if(!option.empty())
  {
    if(Try(option, "--datadir"))
      return true;
    passedOver.push_back(tried.back());
  }
  if(!variable.empty())
  {
    if(Try(variable, Variable))
      return true;
    passedOver.push_back(tried.back());
  }
  if(Try("data", "the current directory"))
    return true;
  const std::string installed = InstalledFolder(executable);
  return !installed.empty() && Try(installed, "installed");
}

bool DataFolderSearch::RunForThisProgram(const std::string &option)
{
  const char *variable = std::getenv(Variable);
  return Run(option, variable ? variable : "", OwnExecutable());
}

bool DataFolderSearch::Try(const std::string &folder, const std::string &origin)
{
  tried.push_back(folder + " (" + origin + ")");
  if(!HoldsFiles(folder))
    return false;
  found = folder;
  return true;
}

bool DataFolderSearch::HoldsFiles(const std::string &folder)
{
  for(const char *name : MarkerFiles)
    if(!IsFile(std::filesystem::path(folder) / name))
      return false;
  return true;
}

std::string DataFolderSearch::InstalledFolder(const std::string &executable)
{
  const std::filesystem::path program(executable);
  if(!program.has_parent_path())
    return "";
  const std::filesystem::path bin = program.parent_path();
  if(!bin.has_parent_path() || bin.parent_path() == bin)
    return "";
  return (bin.parent_path() / "share" / "vextorn").string();
}

std::string DataFolderSearch::OwnExecutable()
{
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? "" : self.string();
}

std::string DataFolderSearch::PassedOverLine() const
{
  if(found.empty() || passedOver.empty())
    return "";
  std::string line = "no pictures and sounds in";
  for(size_t i = 0; i < passedOver.size(); ++i)
    line += (i == 0 ? " " : ", ") + passedOver[i];
  return line + "; using " + found;
}

std::string DataFolderSearch::FailureLine() const
{
  std::string line = "cannot find the pictures and sounds (title.bmp, start.wav, ...); looked in:";
  for(size_t i = 0; i < tried.size(); ++i)
    line += (i == 0 ? " " : ", ") + tried[i];
  return line;
}
