#pragma once

#include "ArtSet.h"
#include "SoundArt.h"

#include <string>

// Pictures for reviewing the art without running the program: a contact
// sheet of every picture with its name, and mock-ups of the title screen and
// the creation screen composed from the pictures at their screen positions,
// and the waveforms of the sounds.
class ReviewSheets {
public:
  // Writes contact_sheet.png, title_screen.png, title_chosen.png,
  // creation_screen.png and sounds.png into the folder; false at the first failure.
  static bool WriteAll(const ArtSet &set, const std::vector<SoundArt::Entry> &sounds,
                       const std::string &folder);

private:
  static bool ContactSheet(const ArtSet &set, const std::string &path);
  static bool TitleScreen(const ArtSet &set, const std::string &path, bool chosen);
  static bool CreationScreen(const ArtSet &set, const std::string &path);
  static bool SoundSheet(const std::vector<SoundArt::Entry> &sounds, const std::string &path);
};
