#pragma once

#include "ArtColour.h"

#include <cairo.h>

#include <string>

// Drawing helpers shared by every picture of the generator. All take the
// cairo context to draw on; coordinates are pixels of that picture.
namespace ArtShapes {
  // The dark ink of every outline.
  constexpr uint32_t InkHex = 0x2B2540;

  void SetColour(cairo_t *cr, const ArtColour &colour, double alpha = 1.0);
  // Adds a rounded rectangle path (no drawing).
  void RoundedRect(cairo_t *cr, double x, double y, double w, double h, double radius);
  // Adds a star path with `points` tips, the first one pointing up.
  void StarPath(cairo_t *cr, double cx, double cy, double outer, double inner, int points,
                double turn = 0.0);
  // Fills the current path with `fill` and strokes it with the ink, keeping the path.
  void FillAndOutline(cairo_t *cr, const ArtColour &fill, double lineWidth);

  // Where a cube is drawn: the top corner of its top face at (cx, top); the
  // top face spans halfWidth to either side and 2 * halfTop down; the side
  // faces hang sideHeight below it.
  struct CubeGeometry {
    double cx = 0.0;
    double top = 0.0;
    double halfWidth = 20.0;
    double halfTop = 10.0;
    double sideHeight = 22.0;
  };
  // A cube in the colour with the light from the top left: lit top, lighter
  // left side, darker right side, an ink outline and a small gloss.
  void Cube(cairo_t *cr, const CubeGeometry &g, const ArtColour &colour, double lineWidth);
  // The cube's outer silhouette as a path (no drawing).
  void CubeOutlinePath(cairo_t *cr, const CubeGeometry &g);

  // Maps the unit square onto the cube's left or right side face, so that
  // whatever is drawn in that square lies painted on the face.
  void CubeFaceTransform(cairo_t *cr, const CubeGeometry &g, bool left);
  // What a child might have drawn on a side face with the pens; the smile's
  // line is `penWidth` wide in the caller's units.
  enum class Doodle { None, StarOnLeft, SmileOnRight, HeartOnLeft };
  void CubeDoodle(cairo_t *cr, const CubeGeometry &g, Doodle doodle, double penWidth = 2.5);

  // Text in DejaVu Sans Bold centred on (cx, baseline): an ink outline of the
  // given width under a fill.
  void OutlinedText(cairo_t *cr, const std::string &text, double cx, double baseline, double size,
                    const ArtColour &fill, double outline);
}
