#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Keeps a diagnostic that can come up in every frame from flooding standard
// error. A line goes through to LogLine unless the same line went through
// less than the gate's interval ago and no Rearm came since.
//
// Two uses:
// - a failure that repeats while a key is held: a gate that holds each line
//   until rearmed (UntilRearmed), rearmed when the key is up, so the line is
//   written once per press;
// - anything else a frame may hit: the default interval of one second.
class LogGate {
public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration OneSecond = std::chrono::seconds(1);
  // An interval that never runs out: each line once until Rearm.
  static constexpr Clock::duration UntilRearmed = Clock::duration::max();

  explicit LogGate(Clock::duration interval = OneSecond);

  // Writes the line with LogLine unless it is held back; true when written.
  bool Write(std::string_view line);
  bool Write(std::string_view line, Clock::time_point now);
  // Forgets the lines written: the next of each goes through again.
  void Rearm();
  // How many lines were held back since the gate was made.
  long long HeldBack() const { return heldBack; }

private:
  struct Written {
    std::string line;
    Clock::time_point at;
  };
  // The distinct lines remembered: enough for the few lines one failure
  // alternates between; the oldest is forgotten first.
  static constexpr std::size_t Remembered = 8;

  Clock::duration interval = OneSecond;
  // Oldest first.
  std::vector<Written> written;
  long long heldBack = 0;
};
