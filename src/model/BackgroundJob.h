#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// A helper thread that runs one job at a time beside its owner's thread.
// Start hands a job over and returns at once (after waiting for the job
// before it); Wait returns once the job has finished, and from then on
// everything the job wrote is visible to the caller. The thread is started
// by the first Start and sleeps between jobs; when it cannot be started,
// Start runs the job itself before returning. Start, Wait and Pending are
// called from the owner's thread only.
class BackgroundJob {
public:
  BackgroundJob() = default;
  BackgroundJob(const BackgroundJob &) = delete;
  BackgroundJob &operator=(const BackgroundJob &) = delete;
  // Waits for the job in hand, then stops and joins the thread.
  ~BackgroundJob();

  void Start(std::function<void()> job);
  // Returns at once when no job has been started since the last Wait. An
  // exception the job threw is thrown here.
  void Wait();
  // A job has been started and not waited for (it may have finished).
  bool Pending() const { return pending; }

private:
  void Loop();

  // Guarded by `mutex`: the job handed over and not yet finished, what it
  // threw, and the request to stop.
  std::function<void()> job;
  std::exception_ptr failure;
  bool running = false;
  bool stopping = false;
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable finished;
  std::thread thread;
  // The owner's thread only.
  bool started = false;
  bool unavailable = false;
  bool pending = false;
};
