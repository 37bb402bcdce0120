#include "model/BandWorker.h"

#include "base/Log.h"

#include <system_error>
#include <utility>

BandWorker::BandWorker(std::function<void(int)> bandJob) : job(std::move(bandJob)) {}

BandWorker::~BandWorker()
{
  Wait();
  Stop();
}

void BandWorker::Stop()
{
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  wake.notify_all();
  for(std::thread &thread : threads)
    if(thread.joinable())
      thread.join();
  started = false;
}

void BandWorker::Start()
{
  Wait();
  if(!started && !unavailable)
  {
    try
    {
      for(int part = 0; part < Parts; ++part)
        threads[part] = std::thread(&BandWorker::Loop, this, part);
      started = true;
    }
    catch(const std::system_error &)
    {
      LogLine("no helper threads for the pick buffer; it is drawn on one thread");
      Stop();
      unavailable = true;
    }
  }
  if(!started)
  {
    for(int part = 0; part < Parts; ++part)
      job(part);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    ++requested;
    partsFinished = 0;
  }
  busy = true;
  wake.notify_all();
}

void BandWorker::Wait()
{
  if(!busy)
    return;
  std::unique_lock<std::mutex> lock(mutex);
  finished.wait(lock, [this] { return partsFinished == Parts; });
  busy = false;
}

void BandWorker::Run()
{
  Start();
  Wait();
}

void BandWorker::Loop(int part)
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
    job(part);
    lock.lock();
    if(++partsFinished == Parts)
      finished.notify_one();
  }
}
