#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes RIFF WAVE files: PCM, 16-bit, mono.
class WavWriter {
public:
  // False (with a message) when the file cannot be written completely.
  static bool Write(const std::string &path, const std::vector<int16_t> &samples, int sampleRate);
};
