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

  const double readyAfter = now() - frameStart;
  const double holdUntil = count >= NeededToWait ? std::min(ReadyTime(), period - CopyTime) : 0.0;
  ready[next] = readyAfter;
  next = (next + 1) % Remembered;
  count = std::min(count + 1, Remembered);
  if(readyAfter < holdUntil)
    wait(holdUntil - readyAfter);
}

double PresentPacer::ReadyTime() const
{
  // The remembered times are the last `count` written, wherever they are.
  double sorted[Remembered];
  for(size_t i = 0; i < count; ++i)
    sorted[i] = ready[(next + Remembered - count + i) % Remembered];
  // The nearest rank of nineteen in twenty.
  const size_t rank = (19 * count + 19) / 20;
  std::nth_element(sorted, sorted + rank - 1, sorted + count);
  return sorted[rank - 1];
}
