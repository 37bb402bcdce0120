#include "res/Sound.h"

#include "base/Log.h"
#include "platform/AudioOutput.h"
#include "res/SoundSystem.h"

Sound::~Sound()
{
  Unload();
}

bool Sound::Load(SoundSystem &system, const std::string &name)
{
  std::shared_ptr<AudioOutput> target = system.Output().lock();
  if(!target)
  {
    LogLine("cannot load sound " + name + ": the sound system is not running");
    return false;
  }
  std::string error;
  std::shared_ptr<const AudioClip> loaded = target->Load(name, error);
  if(!loaded)
  {
    LogLine("cannot load sound " + name + ": " + error);
    return false;
  }
  output = target;
  clip = std::move(loaded);
  fileName = name;
  return true;
}

bool Sound::Play(bool loop)
{
  std::shared_ptr<AudioOutput> target = output.lock();
  return target && clip && target->Play(clip, loop);
}

void Sound::Unload()
{
  // A clip still sounding keeps its samples alive on the voice until it ends
  // or is replaced.
  clip.reset();
  output.reset();
  fileName.clear();
}
