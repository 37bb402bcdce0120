#include "IconArt.h"

#include "ArtShapes.h"
#include "ToolArt.h"

#include <cmath>
#include <memory>

namespace {

constexpr double Pi = 3.14159265358979323846;

// The larger sizes are designed on a square of this many units and scaled.
constexpr double DetailedUnits = 256;
constexpr double PlainUnits = 64;
// From this size up the icon carries the doodles, the pen's details and the sparkles.
constexpr int DetailedFrom = 128;
// Below this size the card gives way to the single cube.
constexpr int CardFrom = 48;

ArtColour Ink()
{
  return ArtColour::FromHex(ArtShapes::InkHex);
}

// The title's palette for the cubes and the pen.
constexpr uint32_t Red = 0xFF4A57;
constexpr uint32_t Orange = 0xFF9F2E;
constexpr uint32_t Yellow = 0xFFD23A;
constexpr uint32_t Cyan = 0x2EC5E8;
constexpr uint32_t Blue = 0x3F8CFF;
constexpr uint32_t Purple = 0xC55BFF;

// A pyramid of five cubes (four on the floor, one on top), drawn back to
// front; the cube at the back is hidden by the others but keeps the
// silhouette whole. (ox, oy) is the top corner of the back cube's top face.
void Pyramid(cairo_t *cr, double ox, double oy, double halfWidth, double lineWidth, bool doodles)
{
  struct Place {
    int i, j, k;
    uint32_t colour;
    ArtShapes::Doodle doodle;
  };
  const Place places[] = {
    {0, 0, 0, Blue, ArtShapes::Doodle::None},
    {1, 0, 0, Cyan, ArtShapes::Doodle::None},
    {0, 1, 0, Orange, ArtShapes::Doodle::StarOnLeft},
    {1, 1, 0, Yellow, ArtShapes::Doodle::SmileOnRight},
    {0, 0, 1, Purple, ArtShapes::Doodle::None},
  };
  ArtShapes::CubeGeometry g;
  // The title's proportions: a top face 0.54 as deep as wide, sides 1.08 high.
  g.halfWidth = halfWidth;
  g.halfTop = halfWidth * 0.54;
  g.sideHeight = halfWidth * 1.08;
  for(const Place &p : places)
  {
    g.cx = ox + (p.i - p.j) * g.halfWidth;
    g.top = oy + (p.i + p.j) * g.halfTop - p.k * g.sideHeight;
    ArtShapes::Cube(cr, g, ArtColour::FromHex(p.colour), lineWidth);
    if(doodles)
    {
      ArtShapes::CubeDoodle(cr, g, p.doodle, lineWidth * 0.8);
    }
  }
}

void Sparkle(cairo_t *cr, double x, double y, double r, const ArtColour &colour, double lineWidth)
{
  ArtShapes::StarPath(cr, x, y, r, r * 0.38, 4);
  ArtShapes::FillAndOutline(cr, colour, lineWidth);
  cairo_new_path(cr);
}

// The pen leaning against the stack, its tip up and to the left, as on the title.
void LeaningPen(cairo_t *cr, double x, double y, double length, double width, double lineWidth)
{
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, -0.5);
  ToolArt::DrawPen(cr, length, width, ArtColour::FromHex(Red), lineWidth);
  cairo_restore(cr);
}

// One face of the small icon's cube: the corners in order, filled flat.
void Face(cairo_t *cr, const double (&corners)[4][2], const ArtColour &colour)
{
  cairo_move_to(cr, corners[0][0], corners[0][1]);
  for(int c = 1; c < 4; ++c)
  {
    cairo_line_to(cr, corners[c][0], corners[c][1]);
  }
  cairo_close_path(cr);
  ArtShapes::SetColour(cr, colour);
  cairo_fill(cr);
}

}

void IconArt::Make(ArtSet &set)
{
  for(int size : Sizes)
  {
    auto image = std::make_unique<CairoImage>(size, size, true);
    cairo_t *cr = image->Context();
    if(size >= DetailedFrom)
    {
      cairo_scale(cr, size / DetailedUnits, size / DetailedUnits);
      DrawDetailed(cr);
    }
    else if(size >= CardFrom)
    {
      cairo_scale(cr, size / PlainUnits, size / PlainUnits);
      DrawPlain(cr);
    }
    else
    {
      DrawSingleCube(cr, size);
    }
    set.Add(FileName(size), std::move(image));
  }
}

std::string IconArt::FileName(int size)
{
  return std::to_string(size) + "x" + std::to_string(size) + ".png";
}

// The title's card on a square of `units`: a rounded card with the sky, the
// sun in the top-right corner and the sandy floor, outlined in ink.
void IconArt::DrawCard(cairo_t *cr, double units)
{
  const double u = units / 64;
  const double inset = 2.5 * u;
  const double floorTop = 43 * u;
  const double radius = 11 * u;
  const double outline = 2.5 * u;
  cairo_save(cr);
  ArtShapes::RoundedRect(cr, inset, inset, units - 2 * inset, units - 2 * inset, radius);
  cairo_clip_preserve(cr);
  cairo_pattern_t *sky = cairo_pattern_create_linear(0, 0, 0, floorTop);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.49, 0.78, 1.0);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.82, 0.94, 1.0);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);

  const double sunX = 52 * u;
  const double sunY = 12 * u;
  for(int ray = 0; ray < 12; ++ray)
  {
    const double a = ray * Pi / 6 + 0.1;
    cairo_move_to(cr, sunX + 8 * u * std::cos(a), sunY + 8 * u * std::sin(a));
    cairo_line_to(cr, sunX + 12 * u * std::cos(a), sunY + 12 * u * std::sin(a));
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 1.5 * u);
  cairo_set_source_rgba(cr, 1.0, 0.86, 0.3, 0.8);
  cairo_stroke(cr);
  cairo_arc(cr, sunX, sunY, 6 * u, 0, 2 * Pi);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(Yellow), outline * 0.6);
  cairo_new_path(cr);

  cairo_rectangle(cr, 0, floorTop, units, units - floorTop);
  cairo_pattern_t *floor = cairo_pattern_create_linear(0, floorTop, 0, units);
  cairo_pattern_add_color_stop_rgb(floor, 0.0, 0.99, 0.93, 0.76);
  cairo_pattern_add_color_stop_rgb(floor, 1.0, 1.0, 0.97, 0.88);
  cairo_set_source(cr, floor);
  cairo_fill(cr);
  cairo_pattern_destroy(floor);
  cairo_move_to(cr, 0, floorTop);
  cairo_line_to(cr, units, floorTop);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0xE8B969));
  cairo_set_line_width(cr, 0.8 * u);
  cairo_stroke(cr);

  // The stack's soft shadow on the floor.
  cairo_save(cr);
  cairo_translate(cr, 28 * u, 56 * u);
  cairo_scale(cr, 1.0, 0.12);
  cairo_arc(cr, 0, 0, 21 * u, 0, 2 * Pi);
  cairo_restore(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0xC89A50), 0.45);
  cairo_fill(cr);
  cairo_restore(cr);

  ArtShapes::RoundedRect(cr, inset, inset, units - 2 * inset, units - 2 * inset, radius);
  ArtShapes::SetColour(cr, Ink());
  cairo_set_line_width(cr, outline);
  cairo_stroke(cr);
}

void IconArt::DrawDetailed(cairo_t *cr)
{
  DrawCard(cr, DetailedUnits);
  Sparkle(cr, 40, 52, 11, {1, 1, 1}, 3);
  Sparkle(cr, 150, 44, 8, ArtColour::FromHex(0xFFE45C), 3);
  Pyramid(cr, 112, 120, 34, 5, true);
  LeaningPen(cr, 192, 146, 132, 32, 5);
}

void IconArt::DrawPlain(cairo_t *cr)
{
  DrawCard(cr, PlainUnits);
  Pyramid(cr, 28, 30, 8.5, 1.6, false);
  LeaningPen(cr, 48, 36.5, 33, 9, 1.5);
}

// A single cube filling the square, its top, left and right faces painted
// yellow, red and blue, with the ink outline one pixel (16) or two (32) wide.
void IconArt::DrawSingleCube(cairo_t *cr, int size)
{
  const double line = size / 16.0;
  const double half = line / 2;
  // The silhouette's corners sit on pixel centres of the outline.
  const double left = half;
  const double right = size - half;
  const double cx = size / 2.0;
  const double top = half;
  const double halfTop = size * 0.25;
  const double bottom = size - half;
  const double mid = top + 2 * halfTop;
  const double sideBottom = bottom - halfTop;
  const double topFace[4][2] = {{cx, top}, {right, top + halfTop}, {cx, mid}, {left, top + halfTop}};
  const double leftFace[4][2] = {{left, top + halfTop}, {cx, mid}, {cx, bottom}, {left, sideBottom}};
  const double rightFace[4][2] = {{right, top + halfTop}, {cx, mid}, {cx, bottom}, {right, sideBottom}};
  Face(cr, topFace, ArtColour::FromHex(Yellow).Lighter(0.2));
  Face(cr, leftFace, ArtColour::FromHex(Red));
  Face(cr, rightFace, ArtColour::FromHex(Blue).Darker(0.1));

  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  ArtShapes::SetColour(cr, Ink());
  if(size >= 32)
  {
    // A gloss on the top face, as every cube of the title has.
    cairo_move_to(cr, cx - size * 0.26, top + halfTop);
    cairo_line_to(cr, cx - size * 0.05, top + halfTop * 0.45);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, line * 0.8);
    ArtShapes::SetColour(cr, {1, 1, 1}, 0.75);
    cairo_stroke(cr);
    ArtShapes::SetColour(cr, Ink());
  }
  cairo_move_to(cr, left, top + halfTop);
  cairo_line_to(cr, cx, mid);
  cairo_line_to(cr, right, top + halfTop);
  cairo_move_to(cr, cx, mid);
  cairo_line_to(cr, cx, bottom);
  cairo_set_line_width(cr, line * 0.75);
  cairo_stroke(cr);
  cairo_move_to(cr, cx, top);
  cairo_line_to(cr, right, top + halfTop);
  cairo_line_to(cr, right, sideBottom);
  cairo_line_to(cr, cx, bottom);
  cairo_line_to(cr, left, sideBottom);
  cairo_line_to(cr, left, top + halfTop);
  cairo_close_path(cr);
  cairo_set_line_width(cr, line);
  cairo_stroke(cr);
}
