#pragma once

#include "platform/AudioClip.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The default audio device with one voice. Play replaces whatever sounds,
// starts at once and plays the clip once (or, when asked, over and over until
// it is replaced). Clips are decoded from WAV files and converted once, at
// load time, to the device's format, so playing is a plain copy.
//
// Where no device can be opened (no sound card, no audio service, a test that
// asks for a driver that does not exist) the output runs silently: Load still
// reads, checks and converts files, Play does nothing and returns false.
//
// The device pulls samples on a thread of its own; the voice is shared with
// it and only changed with the device locked.
class AudioOutput {
public:
  AudioOutput();
  AudioOutput(const AudioOutput &) = delete;
  AudioOutput &operator=(const AudioOutput &) = delete;
  ~AudioOutput();

  // Opens the default device (44100 Hz, 16-bit stereo asked for; whatever the
  // device gives is taken). False, with one line on standard error saying the
  // toy runs without sound, when no device can be opened. True at once when
  // already open.
  bool Open();
  // Stops the voice and closes the device; safe to call more than once.
  void Close();
  bool HasDevice() const { return device != 0; }

  // The format clips are converted to: the device's, or the asked-for format
  // while there is no device.
  const AudioFormat &Format() const { return format; }

  // Reads a RIFF WAV file and converts it to Format(). Null, with the reason
  // in `error`, when the file is missing, unreadable, larger than 64 MB or
  // not a WAV file, when a chunk claims more bytes than the file holds, or
  // when the converted sound would take more than 16 MB (a minute and a half
  // at 44100 Hz).
  std::shared_ptr<const AudioClip> Load(const std::string &fileName, std::string &error) const;

  // Starts the clip from its first sample on the voice, replacing what plays.
  // False when there is no device, no clip, or the clip was made for another
  // format.
  bool Play(std::shared_ptr<const AudioClip> clip, bool loop);
  // Silences the voice.
  void Stop();

  // Whether the voice still has samples to give.
  bool IsPlaying() const;
  // How many bytes of the current clip the device has taken (back to 0 at
  // each repeat of a looping clip).
  std::size_t PlayedBytes() const;

private:
  // Open without the ALSA library's own messages.
  bool OpenDevice();
  // Called on the device's thread with the device locked.
  static void FillCallback(void *self, uint8_t *stream, int length);
  void Fill(uint8_t *stream, std::size_t length);

  uint32_t device = 0;
  bool subsystemStarted = false;
  AudioFormat format;
  // The device's sample format code, as the audio library names it.
  uint16_t deviceFormatCode = 0;

  // The one voice, read by the device thread.
  std::shared_ptr<const AudioClip> voiceClip;
  std::size_t voicePosition = 0;
  bool voiceLoop = false;
};
