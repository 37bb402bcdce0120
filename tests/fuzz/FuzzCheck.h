#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run as a crash (which the fuzzer keeps) when a property of the
// code under test does not hold, naming the line of the check.
inline void Check(bool holds, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
  if(holds)
    return;
  std::fprintf(stderr, "fuzz check failed at %s:%d\n", file, line);
  std::abort();
}
