#include "res/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace {
  struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
  };
}

bool FileBytes::Read(const std::string &path, std::unique_ptr<uint8_t[]> &bytes, size_t &size, std::string &reason)
{
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if(!file)
  {
    reason = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  if(std::fseek(file.get(), 0, SEEK_END) != 0)
  {
    reason = "cannot seek in the file";
    return false;
  }
  const long length = std::ftell(file.get());
  if(length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
  {
    reason = "cannot tell the file's length (not a regular file?)";
    return false;
  }
  if(static_cast<unsigned long>(length) > MaxFileBytes)
  {
    reason = "file too large (" + std::to_string(length) + " bytes)";
    return false;
  }
  const size_t wanted = static_cast<size_t>(length);
  // One byte more than needed, so that an empty file still gets a buffer.
  std::unique_ptr<uint8_t[]> buffer(new(std::nothrow) uint8_t[wanted + 1]);
  if(!buffer)
  {
    reason = "out of memory for " + std::to_string(wanted) + " bytes";
    return false;
  }
  if(std::fread(buffer.get(), 1, wanted, file.get()) != wanted)
  {
    reason = "read error";
    return false;
  }
  bytes = std::move(buffer);
  size = wanted;
  return true;
}
