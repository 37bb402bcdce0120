// The command line on any arguments: the input is split into arguments at
// its zero bytes. Whatever the outcome, a refusal has a one-line reason, a
// window size that was taken lies in its range, and an export has a file to
// write.
#include "FuzzCheck.h"

#include "app/LaunchOptions.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  std::vector<std::string> arguments(1);
  for(size_t i = 0; i < size; ++i)
  {
    if(data[i] == 0)
      arguments.emplace_back();
    else
      arguments.back() += static_cast<char>(data[i]);
  }
  if(size == 0)
    arguments.clear();

  LaunchOptions options;
  switch(options.Parse(arguments))
  {
    case LaunchOptions::Outcome::Refused:
      // One line, whatever bytes the arguments hold.
      Check(!options.Error().empty() && options.Error().find('\n') == std::string::npos &&
            options.Error().find('\r') == std::string::npos);
      break;
    case LaunchOptions::Outcome::Run:
      if(!options.Window().fullscreen)
      {
        const int width = options.Window().width;
        const int height = options.Window().height;
        // Zero: as large as fits; otherwise a size in range.
        Check((width == 0 && height == 0) ||
              (width >= LaunchOptions::MinWidth && width <= LaunchOptions::MaxSide &&
               height >= LaunchOptions::MinHeight && height <= LaunchOptions::MaxSide));
      }
      break;
    case LaunchOptions::Outcome::Export:
      // Something to write, at a scale of at least one.
      Check(!options.Export().output.empty() && options.Export().scale >= 1);
      break;
    case LaunchOptions::Outcome::Help:
    case LaunchOptions::Outcome::Version:
      break;
  }

  int width = 0;
  int height = 0;
  const std::string whole(reinterpret_cast<const char *>(data), size);
  if(LaunchOptions::ParseSize(whole, width, height))
    Check(width >= LaunchOptions::MinWidth && height >= LaunchOptions::MinHeight && width <= LaunchOptions::MaxSide &&
          height <= LaunchOptions::MaxSide);
  return 0;
}
