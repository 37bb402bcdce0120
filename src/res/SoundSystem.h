#pragma once

#include <memory>

class AudioOutput;

// The program's one sound output. Init opens the default audio device; a
// machine without a usable device gets a silent system instead, on which
// sounds still load (and are still checked) but make no noise.
//
// The output is shared with the Sounds loaded from it only as a weak
// reference: after Shutdown (or the system's destruction) those Sounds stay
// safe to play and unload, and simply stay quiet.
class SoundSystem {
public:
  SoundSystem() = default;
  SoundSystem(const SoundSystem &) = delete;
  SoundSystem &operator=(const SoundSystem &) = delete;
  // Runs Shutdown.
  virtual ~SoundSystem();

  // Starts the system. Never fails: without an audio device it runs silently
  // (one line on standard error says so). A second call does nothing.
  bool Init();
  // Starts the system without opening any audio device, as if there were
  // none (silently: nothing is said). A second call, or Init after it, does
  // nothing.
  bool InitSilent();
  // Stops every sound and closes the device; may run more than once.
  void Shutdown();

  // Between Init and Shutdown.
  bool IsRunning() const { return output != nullptr; }
  // Running with a device, so that sounds can be heard.
  bool IsAudible() const;

  // What Sounds load from and play on; empty when not running.
  std::weak_ptr<AudioOutput> Output() const { return output; }

private:
  std::shared_ptr<AudioOutput> output;
};
