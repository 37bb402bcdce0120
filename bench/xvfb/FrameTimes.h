#pragma once

#include <cstdint>
#include <vector>

// The times at which frames were presented (milliseconds of a clock that may
// wrap) and the intervals between consecutive ones.
class FrameTimes {
public:
  void Add(uint32_t timeMs);

  int Frames() const { return frames; }
  // The interval below which the fraction `p` (0 to 1) of all intervals lie,
  // by the nearest-rank rule; -1 when fewer than two frames were seen.
  double IntervalPercentile(double p) const;
  // The longest interval; -1 when fewer than two frames were seen.
  double LongestInterval() const;

private:
  std::vector<uint32_t> intervals;
  int frames = 0;
  uint32_t lastMs = 0;
};
