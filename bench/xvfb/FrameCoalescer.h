#pragma once

#include <cstdint>
#include <vector>

// One rectangle of window damage, in window pixels.
struct DamageBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Groups the damage rectangles an X server reports for a window into the
// frames that caused them. One buffer swap can arrive as several rectangles:
// one per visible piece when another window covers part of it (reported as one
// batch, every rectangle but the last flagged "more"), or one per band when the
// image is put in several requests. A swap never damages the same pixel twice,
// so a rectangle starts a new frame when it overlaps what the current frame
// already damaged, or when it comes more than `gapMs` after the previous one.
class FrameCoalescer {
public:
  explicit FrameCoalescer(uint32_t gapMs = 8) : gapMs(gapMs) {}

  // Takes one rectangle reported at server time `timeMs` (milliseconds, may
  // wrap); `more` says the server has further rectangles of the same report.
  // True when this rectangle begins a new frame.
  bool Add(const DamageBox &box, uint32_t timeMs, bool more);

private:
  bool OverlapsFrame(const DamageBox &box) const;

  uint32_t gapMs = 8;
  std::vector<DamageBox> frame;
  bool started = false;
  bool batchOpen = false;
  uint32_t lastMs = 0;
};
