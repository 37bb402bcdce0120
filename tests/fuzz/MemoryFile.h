#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file that lives in memory only (memfd), rewritten for every input, so
// that the readers can be fed through their real paths (fopen and the
// rest) without touching the disk. Path() names it through /proc/self/fd.
class MemoryFile {
public:
  MemoryFile();
  MemoryFile(const MemoryFile &) = delete;
  MemoryFile &operator=(const MemoryFile &) = delete;
  ~MemoryFile();

  // Replaces the file's bytes; false when the file could not be written.
  bool Write(const uint8_t *data, size_t size);
  const std::string &Path() const { return path; }

private:
  int fd = -1;
  std::string path;
};
