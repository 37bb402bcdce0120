#pragma once

#include "events/SoundId.h"

// Something that plays the program's sound effects. The studio is the one the
// program uses; widgets take this interface so that they can be exercised
// with a recording stand-in.
class SoundSink {
public:
  virtual ~SoundSink() = default;

  // Plays one of the sounds once, replacing whatever plays.
  virtual void Play(SoundId id) const = 0;
};
