#include "FrameTimes.h"

#include <algorithm>
#include <cmath>

void FrameTimes::Add(uint32_t timeMs)
{
  if(frames > 0)
    intervals.push_back(static_cast<uint32_t>(timeMs - lastMs));
  lastMs = timeMs;
  ++frames;
}

double FrameTimes::IntervalPercentile(double p) const
{
  if(intervals.empty())
    return -1.0;
  std::vector<uint32_t> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  const double clamped = std::clamp(p, 0.0, 1.0);
  const auto rank = static_cast<size_t>(std::ceil(clamped * static_cast<double>(sorted.size())));
  return sorted[rank == 0 ? 0 : rank - 1];
}

double FrameTimes::LongestInterval() const
{
  if(intervals.empty())
    return -1.0;
  return *std::max_element(intervals.begin(), intervals.end());
}
