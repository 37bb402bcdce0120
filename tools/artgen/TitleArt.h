#pragma once

#include "ArtSet.h"

// The title screen's pictures: the title picture with the toy's name and a
// stack of cubes, the start and end buttons (cut from the title picture so
// that they match it outside their faces), the ten frames of the selection
// mark and the title screen's pointer.
class TitleArt {
public:
  static void Make(ArtSet &set);

private:
  static void MakeTitle(ArtSet &set);
  static void MakeButtons(ArtSet &set);
  static void MakeSelectedFrames(ArtSet &set);
  static void MakePointer(ArtSet &set);
};
