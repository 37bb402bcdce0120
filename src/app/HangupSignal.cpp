#include "app/HangupSignal.h"

#include <csignal>

namespace {
  volatile std::sig_atomic_t hangupRaised = 0;

  void OnHangup(int)
  {
    hangupRaised = 1;
  }
}

bool HangupSignal::Install()
{
  struct sigaction action = {};
  action.sa_handler = OnHangup;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return sigaction(SIGHUP, &action, nullptr) == 0;
}

bool HangupSignal::Raised()
{
  return hangupRaised != 0;
}

void HangupSignal::Clear()
{
  hangupRaised = 0;
}
