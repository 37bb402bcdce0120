#include "ProcessCpu.h"

#include <charconv>
#include <fstream>
#include <sstream>

bool ProcessCpu::Read(int pid, uint64_t &ticks)
{
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  return file && std::getline(file, line) && ParseTicks(line, ticks);
}

bool ProcessCpu::ParseTicks(const std::string &statLine, uint64_t &ticks)
{
  // "PID (COMMAND) STATE PPID ...": the command ends at the last parenthesis.
  const size_t close = statLine.rfind(')');
  if(close == std::string::npos || statLine.find('(') == std::string::npos)
    return false;
  std::istringstream fields(statLine.substr(close + 1));
  std::string field;
  // Fields 3 (the state) to 13 come before utime and stime.
  for(int i = 3; i <= 13; ++i)
    if(!(fields >> field))
      return false;
  uint64_t sum = 0;
  for(int i = 0; i < 2; ++i)
  {
    if(!(fields >> field))
      return false;
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if(error != std::errc() || end != field.data() + field.size())
      return false;
    sum += value;
  }
  ticks = sum;
  return true;
}
