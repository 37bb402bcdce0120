#include "res/SoundSystem.h"

#include "platform/AudioOutput.h"

SoundSystem::~SoundSystem()
{
  Shutdown();
}

bool SoundSystem::Init()
{
  if(output)
    return true;
  output = std::make_shared<AudioOutput>();
  // Without a device the output stays usable for loading; Open has said why.
  output->Open();
  return true;
}

bool SoundSystem::InitSilent()
{
  if(!output)
    output = std::make_shared<AudioOutput>();
  return true;
}

void SoundSystem::Shutdown()
{
  // Sounds hold the output only weakly, so this closes the device now.
  output.reset();
}

bool SoundSystem::IsAudible() const
{
  return output && output->HasDevice();
}
