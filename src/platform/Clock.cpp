#include "platform/Clock.h"

#include <SDL.h>

namespace {
  // SDL's tick counter needs its timer subsystem; the program may ask for the
  // time before (or without) opening a window.
  void EnsureTimer()
  {
    if(!SDL_WasInit(SDL_INIT_TIMER))
      SDL_InitSubSystem(SDL_INIT_TIMER);
  }
}

uint32_t Clock::Milliseconds()
{
  EnsureTimer();
  return SDL_GetTicks();
}

void Clock::Sleep(uint32_t milliseconds)
{
  EnsureTimer();
  SDL_Delay(milliseconds);
}
