#include "MemoryFile.h"

#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

MemoryFile::MemoryFile()
  : fd(memfd_create("vextorn-fuzz-input", MFD_CLOEXEC))
{
  if(fd < 0)
  {
    std::perror("memfd_create");
    std::abort();
  }
  path = "/proc/self/fd/" + std::to_string(fd);
}

MemoryFile::~MemoryFile()
{
  close(fd);
}

bool MemoryFile::Write(const uint8_t *data, size_t size)
{
  if(ftruncate(fd, 0) != 0)
    return false;
  size_t done = 0;
  while(done < size)
  {
    const ssize_t wrote = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if(wrote <= 0)
      return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}
