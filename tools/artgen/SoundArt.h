#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The program's eleven sound effects, synthesised: start, end, select,
// selected, door, draw, put, del, print, undo and redo.
class SoundArt {
public:
  struct Entry {
    std::string name;
    std::vector<int16_t> samples;
  };
  static constexpr int SampleRate = 44100;

  // Synthesises the eleven sounds, in the program's load order.
  static std::vector<Entry> Make();
  // Writes them as WAV files into the folder; false at the first failure.
  static bool WriteAll(const std::vector<Entry> &sounds, const std::string &folder);
};
