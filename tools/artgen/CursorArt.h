#pragma once

#include "ArtSet.h"
#include "CairoImage.h"

#include <functional>
#include <string>

// The creation screen's software cursors. Each is drawn once with
// anti-aliasing (the PNG version) and then split into the two bitmaps the
// program composites with AND and OR: a mask, black under the cursor and
// white where the screen shows through, and a colour bitmap that is black
// wherever the mask is white.
class CursorArt {
public:
  static void Make(ArtSet &set);

  // Mask of a drawn cursor: black where the pixel is at least half covered.
  static std::unique_ptr<CairoImage> MaskOf(const CairoImage &drawn);
  // Colour bitmap of a drawn cursor under a mask: the drawn colour where the
  // mask is black, black elsewhere.
  static std::unique_ptr<CairoImage> ColourOf(const CairoImage &drawn, const CairoImage &mask);

private:
  using Painter = std::function<void(cairo_t *)>;
  static std::unique_ptr<CairoImage> Draw(const Painter &paint);
  // Adds "cursor_NAME.png" and "cursor_NAME.bmp", and the mask under
  // `maskName` unless it is already in the set.
  static void AddCursor(ArtSet &set, const std::string &name, const std::string &maskName,
                        const Painter &paint);
};
