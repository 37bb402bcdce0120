#pragma once

#include "ArtColour.h"
#include "ArtSet.h"

#include <cairo.h>

// The creation screen's pictures: the background, the 22 tool icons (hand,
// eraser, printer, exit door, nine pens, nine cubes) and the undo and redo
// buttons.
class ToolArt {
public:
  // Draws them all and adds them to the set.
  static void Make(ArtSet &set);

  // Drawing steps shared with the cursors: a felt-tip pen along the local
  // y axis, its tip at y = -length / 2, its barrel `width` wide.
  static void DrawPen(cairo_t *cr, double length, double width, const ArtColour &colour,
                      double lineWidth);
  // A bold X from (x0, y0) to (x1, y1) with bars `bar` wide.
  static void DrawCross(cairo_t *cr, double x0, double y0, double x1, double y1, double bar,
                        double lineWidth);
  // An open hand with its palm centred on (cx, cy); `scale` 1 is about 56 pixels tall.
  static void DrawHand(cairo_t *cr, double cx, double cy, double scale, double lineWidth);

private:
  static void MakeBackground(ArtSet &set);
  static void MakeHand(ArtSet &set);
  static void MakeEraser(ArtSet &set);
  static void MakePrinter(ArtSet &set);
  static void MakeExit(ArtSet &set);
  static void MakePens(ArtSet &set);
  static void MakeCubes(ArtSet &set);
  static void MakeHistoryButtons(ArtSet &set);
  // The background's top-left corner: a board with a well for each of the
  // undo and redo buttons.
  static void DrawCorner(cairo_t *cr);
};
