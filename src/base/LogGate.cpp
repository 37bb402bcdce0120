#include "base/LogGate.h"

#include "base/Log.h"

#include <algorithm>

LogGate::LogGate(Clock::duration gateInterval)
  : interval(gateInterval)
{
}

bool LogGate::Write(std::string_view line)
{
  return Write(line, Clock::now());
}

bool LogGate::Write(std::string_view line, Clock::time_point now)
{
  const auto same = std::find_if(written.begin(), written.end(), [&](const Written &w) { return w.line == line; });
  if(same != written.end())
  {
    // A clock that went backwards holds nothing back.
    if(now >= same->at && now - same->at < interval)
    {
      ++heldBack;
      return false;
    }
    written.erase(same);
  }
  else if(written.size() >= Remembered)
    written.erase(written.begin());
  written.push_back({std::string(line), now});
  LogLine(line);
  return true;
}

void LogGate::Rearm()
{
  written.clear();
}
