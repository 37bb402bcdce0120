#include "model/ReplacingFile.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

ReplacingFile::~ReplacingFile()
{
  Discard();
}

bool ReplacingFile::Open(const std::string &path)
{
  Discard();
  std::vector<char> name(path.begin(), path.end());
  for(char c : std::string(".XXXXXX"))
    name.push_back(c);
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if(fd < 0)
    return false;
  tempPath = name.data();
  targetPath = path;

  // The new file keeps the old file's permissions; a first save gets rw-r--r--.
  struct stat old = {};
  const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 0777) : 0644;
  fchmod(fd, mode);

  file.reset(fdopen(fd, "wb"));
  if(!file)
  {
    close(fd);
    unlink(tempPath.c_str());
    tempPath.clear();
    return false;
  }
  return true;
}

bool ReplacingFile::Commit()
{
  if(!file)
    return false;
  bool ok = std::fflush(file.get()) == 0 && !std::ferror(file.get());
  ok = ok && fsync(fileno(file.get())) == 0;
  // fclose can report a late write error too.
  ok = std::fclose(file.release()) == 0 && ok;
  ok = ok && std::rename(tempPath.c_str(), targetPath.c_str()) == 0;
  if(!ok)
  {
    unlink(tempPath.c_str());
    tempPath.clear();
    return false;
  }
  tempPath.clear();

  // Make the rename itself durable; the new file is in place either way.
  const size_t slash = targetPath.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : targetPath.substr(0, slash));
  const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if(dirFd >= 0)
  {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

void ReplacingFile::Discard()
{
  file.reset();
  if(!tempPath.empty())
  {
    unlink(tempPath.c_str());
    tempPath.clear();
  }
}
