#include "base/Log.h"

#include <cstdio>

std::string OneLine(std::string_view message)
{
  static const char digits[] = "0123456789abcdef";
  std::string line;
  line.reserve(message.size());
  for(const char c : message)
  {
    const auto byte = static_cast<unsigned char>(c);
    if(byte >= 0x20 && byte != 0x7F)
      line += c;
    else if(c == '\n')
      line += "\\n";
    else if(c == '\t')
      line += "\\t";
    else if(c == '\r')
      line += "\\r";
    else
    {
      line += "\\x";
      line += digits[byte >> 4];
      line += digits[byte & 0xF];
    }
  }
  return line;
}

void LogLine(std::string_view message)
{
  const std::string line = OneLine(message);
  std::fprintf(stderr, "vextorn: %s\n", line.c_str());
  std::fflush(stderr);
}
