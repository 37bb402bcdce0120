#pragma once

#include <memory>
#include <string>

class AudioClip;
class AudioOutput;
class SoundSystem;

// One sound effect: a WAV file loaded once, at start-up, and played any number
// of times. Playing replaces whatever sound is playing (there is one voice).
class Sound {
public:
  Sound() = default;
  Sound(const Sound &) = delete;
  Sound &operator=(const Sound &) = delete;
  // Runs Unload.
  virtual ~Sound();

  // Reads and converts the WAV file (a path relative to the current
  // directory) for the system's output. False, with a line on standard error
  // naming the file, when the system is not running or the file is missing,
  // unreadable or not a WAV file; the sound is then as it was before.
  bool Load(SoundSystem &system, const std::string &fileName);
  // Starts the sound from its beginning, cutting off whatever plays; with
  // `loop` it repeats until another sound replaces it. False when nothing
  // can be heard: not loaded, a silent system, or the system is gone.
  bool Play(bool loop = false);
  // Forgets the samples; may run more than once.
  void Unload();

  bool IsLoaded() const { return clip != nullptr; }
  const std::string &FileName() const { return fileName; }

private:
  std::weak_ptr<AudioOutput> output;
  std::shared_ptr<const AudioClip> clip;
  std::string fileName;
};
