#pragma once

#include <cstdint>
#include <string>

// The processor time a process has used, from /proc/PID/stat: user plus
// system time of all its threads, in clock ticks.
class ProcessCpu {
public:
  // Reads the ticks of process `pid`; false when it cannot be read.
  static bool Read(int pid, uint64_t &ticks);
  // The ticks in one line of /proc/PID/stat (fields 14 and 15, counted after
  // the command name, which may itself hold spaces and parentheses); false
  // when the line is not such a line.
  static bool ParseTicks(const std::string &statLine, uint64_t &ticks);
};
