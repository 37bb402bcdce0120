#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Two helper threads that share one job in two parts: Start has job(0) and
// job(1) run at the same time, one on each helper, and returns at once; Wait
// returns once both have finished, and everything either part wrote is then
// visible to the caller. The threads are started by the first Start and sleep
// between runs. When they cannot be started, Start runs both parts itself, 0
// then 1, before it returns.
class BandWorker {
public:
  explicit BandWorker(std::function<void(int)> job);
  BandWorker(const BandWorker &) = delete;
  BandWorker &operator=(const BandWorker &) = delete;
  // Waits for a run under way, then stops and joins the threads.
  ~BandWorker();

  void Start();
  // Does nothing when no run is under way.
  void Wait();
  // A run was started and not yet waited for.
  bool Busy() const { return busy; }
  // Start, then Wait.
  void Run();

private:
  static constexpr int Parts = 2;

  void Loop(int part);
  // Stops and joins the threads started so far.
  void Stop();

  std::function<void(int)> job;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable finished;
  std::thread threads[Parts];
  // Runs asked for, and parts of the current run finished; guarded by `mutex`.
  uint64_t requested = 0;
  int partsFinished = 0;
  bool stopping = false;
  bool started = false;
  bool unavailable = false;
  bool busy = false;
};
