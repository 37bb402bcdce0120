#include "ProcessProbe.h"

#include <cstdio>
#include <dirent.h>
#include <unistd.h>

uint64_t ProcessProbe::ResidentBytes()
{
  std::FILE *statm = std::fopen("/proc/self/statm", "r");
  if(!statm)
    return 0;
  unsigned long long size = 0;
  unsigned long long resident = 0;
  const int read = std::fscanf(statm, "%llu %llu", &size, &resident);
  std::fclose(statm);
  return read == 2 ? resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) : 0;
}

int ProcessProbe::OpenDescriptors()
{
  DIR *folder = opendir("/proc/self/fd");
  if(!folder)
    return -1;
  int count = 0;
  while(const dirent *entry = readdir(folder))
    if(entry->d_name[0] != '.')
      ++count;
  closedir(folder);
  // The folder's own descriptor, open while it was read.
  return count - 1;
}
