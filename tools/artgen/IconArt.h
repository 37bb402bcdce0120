#pragma once

#include "ArtSet.h"

#include <array>
#include <string>

// The application's icon in the title picture's style (bright cubes with ink
// outlines, a sky over a sandy floor, the red felt pen) at the sizes desktops
// ask for. Each size is drawn for its pixels rather than scaled down: 128 and
// 256 show the title's card with a stack of painted cubes and the pen; 48 and
// 64 the same card with a plain stack; 16 and 32 a single cube whose three
// faces are painted in three colours, which stays legible in a menu or a
// task bar.
class IconArt {
public:
  static constexpr std::array<int, 6> Sizes = {16, 32, 48, 64, 128, 256};

  // Adds one picture per size, named by FileName, to the set.
  static void Make(ArtSet &set);
  // "16x16.png" for 16: the name of the hicolor size folder it belongs in.
  static std::string FileName(int size);

private:
  static void DrawCard(cairo_t *cr, double units);
  static void DrawDetailed(cairo_t *cr);
  static void DrawPlain(cairo_t *cr);
  static void DrawSingleCube(cairo_t *cr, int size);
};
