#pragma once

#include <cstdint>

// What this process holds now, read from /proc/self.
namespace ProcessProbe {
  // Resident memory in bytes; 0 when unknown.
  uint64_t ResidentBytes();
  // Open file descriptors; -1 when unknown.
  int OpenDescriptors();
}
