#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Reading a whole file into memory.
namespace FileBytes {
  // Files larger than this are refused rather than read.
  constexpr size_t MaxFileBytes = size_t{1} << 30;

  // Reads all of the file into `bytes` and its length into `size`. False with
  // a one-line reason when it cannot be opened or read, or is too large.
  bool Read(const std::string &path, std::unique_ptr<uint8_t[]> &bytes, size_t &size, std::string &reason);
}
