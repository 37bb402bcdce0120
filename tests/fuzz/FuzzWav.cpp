// Sound loading on any bytes: the WAV file read and its samples converted to
// the output's format, as Sound::Load does at start-up (no device is opened).
// A clip that is taken holds whole frames of the output's format.
#include "FuzzCheck.h"
#include "MemoryFile.h"

#include "platform/AudioClip.h"
#include "platform/AudioOutput.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static MemoryFile file;
  static AudioOutput output;
  if(!file.Write(data, size))
    return 0;

  std::string error;
  std::shared_ptr<const AudioClip> clip = output.Load(file.Path(), error);
  if(clip)
  {
    Check(clip->Format() == output.Format());
    Check(clip->Samples().size() % static_cast<size_t>(output.Format().FrameBytes()) == 0);
  }
  else
    Check(!error.empty());
  return 0;
}
