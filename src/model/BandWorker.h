#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// A helper thread that shares one job with the calling thread: Run calls
// job(1) on the helper and job(0) on the caller at the same time, and
// returns once both have finished, so that everything either part wrote is
// visible to the caller afterwards. The thread is started by the first Run
// and sleeps between runs; when it cannot be started, the caller runs both
// parts itself, 0 then 1.
class BandWorker {
public:
  explicit BandWorker(std::function<void(int)> job);
  BandWorker(const BandWorker &) = delete;
  BandWorker &operator=(const BandWorker &) = delete;
  // Stops and joins the thread.
  ~BandWorker();

  void Run();

private:
  void Loop();

  std::function<void(int)> job;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable finished;
  std::thread thread;
  // Runs asked for and runs the helper has finished, guarded by `mutex`.
  uint64_t requested = 0;
  uint64_t completed = 0;
  bool stopping = false;
  bool started = false;
  bool unavailable = false;
};
