#include "export/OutputFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
  std::string NameOf(const std::string &path)
  {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }

  bool WriteAll(int fd, const std::vector<uint8_t> &bytes)
  {
    size_t done = 0;
    while(done < bytes.size())
    {
      const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
      if(written < 0 && errno == EINTR)
        continue;
      if(written <= 0)
        return false;
      done += static_cast<size_t>(written);
    }
    return true;
  }

  void SyncFolder(const std::string &folder)
  {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if(fd >= 0)
    {
      fsync(fd);
      close(fd);
    }
  }
}

std::string OutputFiles::FolderOf(const std::string &path)
{
  const size_t slash = path.find_last_of('/');
  if(slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void OutputFiles::Add(const std::string &path, const std::vector<uint8_t> &bytes)
{
  files.push_back(File{path, bytes});
}

void OutputFiles::Add(const std::string &path, const std::string &text)
{
  files.push_back(File{path, std::vector<uint8_t>(text.begin(), text.end())});
}

bool OutputFiles::Commit(std::string &error)
{
  bool clash = false;
  return CommitFiles(true, error, clash);
}

bool OutputFiles::CommitNew(std::string &error, bool &clash)
{
  clash = false;
  return CommitFiles(false, error, clash);
}

bool OutputFiles::WriteTemporary(const File &file, std::string &temporary, std::string &error)
{
  // Hidden, so that nobody opens it before it is whole.
  std::string pattern = FolderOf(file.path) + "/." + NameOf(file.path) + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if(fd < 0)
  {
    error = "cannot write " + file.path + ": " + std::strerror(errno);
    return false;
  }
  temporary = pattern;
  // A temporary file is made for the owner alone; the file gets the
  // permissions any new file of the user's gets.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  errno = 0;
  bool ok = WriteAll(fd, file.bytes) && fsync(fd) == 0;
  const int writeError = errno;
  ok = close(fd) == 0 && ok;
  if(!ok)
  {
    const int cause = writeError ? writeError : errno;
    error = "cannot write " + file.path + ": " + (cause ? std::strerror(cause) : "the disk took only part of it");
    unlink(temporary.c_str());
    temporary.clear();
  }
  return ok;
}

bool OutputFiles::TakeNewName(const std::string &temporary, const std::string &path)
{
  if(renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if(errno != EINVAL && errno != ENOSYS)
    return false;
  // A file system that cannot rename without replacing: a hard link fails
  // on a name that is taken.
  if(link(temporary.c_str(), path.c_str()) == 0)
  {
    unlink(temporary.c_str());
    return true;
  }
  if(errno == EEXIST)
    return false;
  // Nor links: claim the name with an empty file first.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if(fd < 0)
    return false;
  close(fd);
  if(std::rename(temporary.c_str(), path.c_str()) == 0)
    return true;
  const int renameError = errno;
  unlink(path.c_str());
  errno = renameError;
  return false;
}

bool OutputFiles::CommitFiles(bool replace, std::string &error, bool &clash)
{
  std::vector<std::string> temporaries;
  std::vector<std::string> named;
  auto undo = [&]() {
    for(const std::string &temporary : temporaries)
      if(!temporary.empty())
        unlink(temporary.c_str());
    for(const std::string &path : named)
      unlink(path.c_str());
  };

  // A folder in the way would only be found after other files took their
  // names (and replaced what was there).
  for(const File &file : files)
  {
    struct stat status = {};
    if(stat(file.path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
    {
      error = "cannot write " + file.path + ": it is a folder";
      return false;
    }
  }
  for(const File &file : files)
  {
    std::string temporary;
    if(!WriteTemporary(file, temporary, error))
    {
      undo();
      return false;
    }
    temporaries.push_back(temporary);
  }
  for(size_t i = 0; i < files.size(); ++i)
  {
    const std::string &path = files[i].path;
    const bool taken = replace ? std::rename(temporaries[i].c_str(), path.c_str()) == 0
                               : TakeNewName(temporaries[i], path);
    if(!taken)
    {
      const int cause = errno;
      clash = !replace && cause == EEXIST;
      error = clash ? "a file is in the way: " + path : "cannot write " + path + ": " + std::strerror(cause);
      undo();
      return false;
    }
    temporaries[i].clear();
    named.push_back(path);
  }
  for(const File &file : files)
    SyncFolder(FolderOf(file.path));
  return true;
}
