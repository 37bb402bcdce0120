#include "base/Log.h"

#include <cstdio>

void LogLine(std::string_view message)
{
  std::fprintf(stderr, "vextorn: %.*s\n", static_cast<int>(message.size()), message.data());
  std::fflush(stderr);
}
