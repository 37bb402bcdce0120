#pragma once

#include <string>

// The program's nine sound effects, synthesised: start, end, select,
// selected, door, draw, put, del and print.
class SoundArt {
public:
  // Writes the nine WAV files into the folder; false at the first failure.
  static bool WriteAll(const std::string &folder);
};
