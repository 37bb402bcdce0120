#include "app/PresentPacer.h"

#include <algorithm>

PresentPacer::PresentPacer(std::function<double()> clock, std::function<void(double)> sleep)
  : now(std::move(clock)), wait(std::move(sleep))
{
}

void PresentPacer::SetRefreshRate(int hertz)
{
  period = 1000.0 / (hertz > 0 ? hertz : 60);
}

void PresentPacer::FrameStarted()
{
  frameStart = now();
}

void PresentPacer::BeforeShow()
{
  // Frames that do not follow one another tick after tick say nothing about
  // the pace of the next ones.
  if(shownFrameStart < 0.0 || frameStart - shownFrameStart > 1.5 * period)
    count = 0;
  shownFrameStart = frameStart;

  shownAt = now();
  const double readyAfter = shownAt - frameStart;
  const double holdUntil =
    count >= NeededToWait ? std::min(NineteenInTwenty(ready), period - NineteenInTwenty(copying) - Slack) : 0.0;
  ready[next] = readyAfter;
  copying[next] = 0.0;
  next = (next + 1) % Remembered;
  count = std::min(count + 1, Remembered);
  if(readyAfter < holdUntil)
  {
    wait(holdUntil - readyAfter);
    shownAt = now();
  }
}

void PresentPacer::AfterShow()
{
  if(count > 0)
    copying[(next + Remembered - 1) % Remembered] = now() - shownAt;
}

double PresentPacer::NineteenInTwenty(const double *times) const
{
  // The remembered times are the last `count` written, wherever they are.
  double sorted[Remembered];
  for(size_t i = 0; i < count; ++i)
    sorted[i] = times[(next + Remembered - count + i) % Remembered];
  // The nearest rank of nineteen in twenty.
  const size_t rank = (19 * count + 19) / 20;
  std::nth_element(sorted, sorted + rank - 1, sorted + count);
  return sorted[rank - 1];
}
