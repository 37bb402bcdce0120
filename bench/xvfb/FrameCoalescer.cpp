#include "FrameCoalescer.h"

bool FrameCoalescer::Add(const DamageBox &box, uint32_t timeMs, bool more)
{
  // The rest of one report always belongs to the frame that began it.
  bool newFrame = false;
  if(!batchOpen)
    newFrame = !started || static_cast<uint32_t>(timeMs - lastMs) > gapMs || OverlapsFrame(box);
  if(newFrame)
    frame.clear();
  frame.push_back(box);
  started = true;
  batchOpen = more;
  lastMs = timeMs;
  return newFrame;
}

bool FrameCoalescer::OverlapsFrame(const DamageBox &box) const
{
  for(const DamageBox &seen : frame)
    if(box.x < seen.x + seen.width && seen.x < box.x + box.width && box.y < seen.y + seen.height &&
       seen.y < box.y + box.height)
      return true;
  return false;
}
