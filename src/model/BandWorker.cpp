#include "model/BandWorker.h"

#include "base/Log.h"

#include <system_error>
#include <utility>

BandWorker::BandWorker(std::function<void(int)> bandJob) : job(std::move(bandJob)) {}

BandWorker::~BandWorker()
{
  if(!started)
    return;
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  wake.notify_one();
  thread.join();
}

void BandWorker::Run()
{
  if(!started && !unavailable)
  {
    try
    {
      thread = std::thread(&BandWorker::Loop, this);
      started = true;
    }
    catch(const std::system_error &)
    {
      LogLine("no helper thread for the pick buffer; it is drawn on one thread");
      unavailable = true;
    }
  }
  if(!started)
  {
    job(0);
    job(1);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    ++requested;
  }
  wake.notify_one();
  job(0);
  std::unique_lock<std::mutex> lock(mutex);
  finished.wait(lock, [this] { return completed == requested; });
}

void BandWorker::Loop()
{
  std::unique_lock<std::mutex> lock(mutex);
  uint64_t done = 0;
  for(;;)
  {
    wake.wait(lock, [this, done] { return stopping || requested != done; });
    if(stopping)
      return;
    done = requested;
    lock.unlock();
    job(1);
    lock.lock();
    completed = done;
    finished.notify_one();
  }
}
