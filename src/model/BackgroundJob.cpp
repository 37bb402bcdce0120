#include "model/BackgroundJob.h"

#include "base/Log.h"

#include <system_error>
#include <utility>

BackgroundJob::~BackgroundJob()
{
  if(!started)
    return;
  {
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [this] { return !running; });
    stopping = true;
  }
  wake.notify_one();
  thread.join();
}

void BackgroundJob::Start(std::function<void()> next)
{
  // A job that threw reports it here at the latest.
  Wait();
  if(!started && !unavailable)
  {
    try
    {
      thread = std::thread(&BackgroundJob::Loop, this);
      started = true;
    }
    catch(const std::system_error &)
    {
      LogLine("no helper thread for background work; it is done in turn");
      unavailable = true;
    }
  }
  if(!started)
  {
    next();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    job = std::move(next);
    running = true;
  }
  pending = true;
  wake.notify_one();
}

void BackgroundJob::Wait()
{
  if(!pending)
    return;
  std::exception_ptr thrown;
  {
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [this] { return !running; });
    thrown = std::exchange(failure, nullptr);
  }
  pending = false;
  if(thrown)
    std::rethrow_exception(thrown);
}

void BackgroundJob::Loop()
{
  std::unique_lock<std::mutex> lock(mutex);
  for(;;)
  {
    wake.wait(lock, [this] { return stopping || running; });
    if(stopping)
      return;
    std::function<void()> current = std::move(job);
    job = nullptr;
    lock.unlock();
    std::exception_ptr thrown;
    try
    {
      current();
    }
    catch(...)
    {
      thrown = std::current_exception();
    }
    current = nullptr;
    lock.lock();
    failure = thrown;
    running = false;
    finished.notify_all();
  }
}
