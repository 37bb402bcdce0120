#include "app/FrameClock.h"

bool FrameClock::Tick(uint32_t now)
{
  if(!started)
  {
    started = true;
    last = now;
    return false;
  }
  if(now == last)
    return false;
  last = now;
  return true;
}
