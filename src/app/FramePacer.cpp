#include "app/FramePacer.h"

void FramePacer::SetRefreshRate(int hertz)
{
  const int newRate = hertz > 0 ? hertz : DefaultRefreshRate;
  // The time still to wait stays the same in milliseconds.
  due = due * newRate / rate;
  rate = newRate;
}

int64_t FramePacer::Elapsed(uint32_t now) const
{
  // Unsigned subtraction keeps the difference right across a wrap of the clock.
  return static_cast<int64_t>(static_cast<uint32_t>(now - last)) * rate;
}

bool FramePacer::Tick(uint32_t now)
{
  if(!started)
  {
    started = true;
    last = now;
    due = Period;
    return true;
  }
  const int64_t elapsed = Elapsed(now);
  if(elapsed < due)
    return false;
  // The next frame one period after this one was due, which keeps the rate
  // when this one came a little late; but never already due now.
  int64_t next = due + Period;
  if(next <= elapsed)
    next = elapsed + Period;
  last = now;
  due = next - elapsed;
  return true;
}

int FramePacer::MillisecondsToNextFrame(uint32_t now) const
{
  if(!started)
    return 0;
  const int64_t remaining = due - Elapsed(now);
  if(remaining <= 0)
    return 0;
  return static_cast<int>((remaining + rate - 1) / rate);
}
