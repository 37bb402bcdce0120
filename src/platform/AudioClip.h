#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The sample layout of an audio output: what every clip is converted to.
struct AudioFormat {
  int frequency = 0;
  int channels = 0;
  int bytesPerSample = 0;
  bool floatSamples = false;
  bool signedSamples = false;
  bool bigEndian = false;
  // The byte value that fills silence (non-zero only for unsigned samples).
  uint8_t silence = 0;

  int FrameBytes() const { return channels * bytesPerSample; }
  bool operator==(const AudioFormat &) const = default;
};

// A decoded sound, its samples already in an output's format, ready to be
// copied to the device as they stand. Immutable once made.
class AudioClip {
public:
  AudioClip(const AudioFormat &format, std::vector<uint8_t> samples)
    : format(format), samples(std::move(samples))
  {
  }

  const AudioFormat &Format() const { return format; }
  const std::vector<uint8_t> &Samples() const { return samples; }
  std::size_t FrameCount() const
  {
    return format.FrameBytes() > 0 ? samples.size() / static_cast<std::size_t>(format.FrameBytes()) : 0;
  }

private:
  AudioFormat format;
  std::vector<uint8_t> samples;
};
