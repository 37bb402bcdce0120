#include "ArtShapes.h"

#include <algorithm>
#include <cmath>

namespace ArtShapes {

void SetColour(cairo_t *cr, const ArtColour &colour, double alpha)
{
  cairo_set_source_rgba(cr, colour.red, colour.green, colour.blue, alpha);
}

void RoundedRect(cairo_t *cr, double x, double y, double w, double h, double radius)
{
  const double pi = 3.14159265358979323846;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -pi / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, pi / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, pi / 2, pi);
  cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void StarPath(cairo_t *cr, double cx, double cy, double outer, double inner, int points, double turn)
{
  const double pi = 3.14159265358979323846;
  cairo_new_sub_path(cr);
  for(int i = 0; i < points * 2; ++i)
  {
    double r = (i % 2 == 0) ? outer : inner;
    double a = -pi / 2 + turn + i * pi / points;
    double x = cx + r * std::cos(a);
    double y = cy + r * std::sin(a);
    if(i == 0)
    {
      cairo_move_to(cr, x, y);
    }
    else
    {
      cairo_line_to(cr, x, y);
    }
  }
  cairo_close_path(cr);
}

void FillAndOutline(cairo_t *cr, const ArtColour &fill, double lineWidth)
{
  SetColour(cr, fill);
  cairo_fill_preserve(cr);
  SetColour(cr, ArtColour::FromHex(InkHex));
  cairo_set_line_width(cr, lineWidth);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke_preserve(cr);
}

void CubeOutlinePath(cairo_t *cr, const CubeGeometry &g)
{
  cairo_move_to(cr, g.cx, g.top);
  cairo_line_to(cr, g.cx + g.halfWidth, g.top + g.halfTop);
  cairo_line_to(cr, g.cx + g.halfWidth, g.top + g.halfTop + g.sideHeight);
  cairo_line_to(cr, g.cx, g.top + 2 * g.halfTop + g.sideHeight);
  cairo_line_to(cr, g.cx - g.halfWidth, g.top + g.halfTop + g.sideHeight);
  cairo_line_to(cr, g.cx - g.halfWidth, g.top + g.halfTop);
  cairo_close_path(cr);
}

void Cube(cairo_t *cr, const CubeGeometry &g, const ArtColour &colour, double lineWidth)
{
  const ArtColour ink = ArtColour::FromHex(InkHex);
  // Very dark colours get lifted so that their faces still read as a cube.
  const bool dark = colour.Luma() < 0.15;
  const ArtColour top = dark ? colour.Lighter(0.42) : colour.Lighter(0.38);
  const ArtColour left = dark ? colour.Lighter(0.22) : colour.Lighter(0.06);
  const ArtColour right = dark ? colour.Lighter(0.08) : colour.Darker(0.24);
  const double midY = g.top + 2 * g.halfTop;

  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

  // Top face.
  cairo_move_to(cr, g.cx, g.top);
  cairo_line_to(cr, g.cx + g.halfWidth, g.top + g.halfTop);
  cairo_line_to(cr, g.cx, midY);
  cairo_line_to(cr, g.cx - g.halfWidth, g.top + g.halfTop);
  cairo_close_path(cr);
  SetColour(cr, top);
  cairo_fill(cr);
  // Left face.
  cairo_move_to(cr, g.cx - g.halfWidth, g.top + g.halfTop);
  cairo_line_to(cr, g.cx, midY);
  cairo_line_to(cr, g.cx, midY + g.sideHeight);
  cairo_line_to(cr, g.cx - g.halfWidth, g.top + g.halfTop + g.sideHeight);
  cairo_close_path(cr);
  SetColour(cr, left);
  cairo_fill(cr);
  // Right face.
  cairo_move_to(cr, g.cx + g.halfWidth, g.top + g.halfTop);
  cairo_line_to(cr, g.cx, midY);
  cairo_line_to(cr, g.cx, midY + g.sideHeight);
  cairo_line_to(cr, g.cx + g.halfWidth, g.top + g.halfTop + g.sideHeight);
  cairo_close_path(cr);
  SetColour(cr, right);
  cairo_fill(cr);

  // Gloss: a soft light streak on the top face, near its left corner.
  cairo_move_to(cr, g.cx - g.halfWidth * 0.62, g.top + g.halfTop);
  cairo_line_to(cr, g.cx - g.halfWidth * 0.1, g.top + g.halfTop * 0.45);
  SetColour(cr, {1.0, 1.0, 1.0}, 0.75);
  cairo_set_line_width(cr, std::max(1.0, lineWidth * 0.8));
  cairo_stroke(cr);
  // Edge highlight along the left face's top-left vertical edge.
  cairo_move_to(cr, g.cx - g.halfWidth + lineWidth * 1.2, g.top + g.halfTop + lineWidth * 1.6);
  cairo_line_to(cr, g.cx - g.halfWidth + lineWidth * 1.2, g.top + g.halfTop + g.sideHeight * 0.7);
  SetColour(cr, {1.0, 1.0, 1.0}, 0.35);
  cairo_stroke(cr);

  // Inner edges, then the silhouette.
  SetColour(cr, ink);
  cairo_set_line_width(cr, lineWidth * 0.7);
  cairo_move_to(cr, g.cx - g.halfWidth, g.top + g.halfTop);
  cairo_line_to(cr, g.cx, midY);
  cairo_line_to(cr, g.cx + g.halfWidth, g.top + g.halfTop);
  cairo_move_to(cr, g.cx, midY);
  cairo_line_to(cr, g.cx, midY + g.sideHeight);
  cairo_stroke(cr);
  CubeOutlinePath(cr, g);
  cairo_set_line_width(cr, lineWidth);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void CubeFaceTransform(cairo_t *cr, const CubeGeometry &g, bool left)
{
  cairo_matrix_t m;
  if(left)
  {
    cairo_matrix_init(&m, g.halfWidth, g.halfTop, 0, g.sideHeight, g.cx - g.halfWidth, g.top + g.halfTop);
  }
  else
  {
    cairo_matrix_init(&m, g.halfWidth, -g.halfTop, 0, g.sideHeight, g.cx, g.top + 2 * g.halfTop);
  }
  cairo_transform(cr, &m);
}

void CubeDoodle(cairo_t *cr, const CubeGeometry &g, Doodle doodle, double penWidth)
{
  if(doodle == Doodle::None)
  {
    return;
  }
  const double pi = 3.14159265358979323846;
  cairo_save(cr);
  CubeFaceTransform(cr, g, doodle != Doodle::SmileOnRight);
  cairo_new_path(cr);
  if(doodle == Doodle::StarOnLeft)
  {
    StarPath(cr, 0.5, 0.52, 0.32, 0.14, 5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.95);
    cairo_fill(cr);
  }
  else if(doodle == Doodle::HeartOnLeft)
  {
    cairo_move_to(cr, 0.5, 0.78);
    cairo_curve_to(cr, 0.12, 0.5, 0.22, 0.18, 0.5, 0.36);
    cairo_curve_to(cr, 0.78, 0.18, 0.88, 0.5, 0.5, 0.78);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1, 0.3, 0.45, 0.95);
    cairo_fill(cr);
  }
  else
  {
    // Two eyes and a smile, drawn with a dark pen.
    cairo_arc(cr, 0.34, 0.38, 0.07, 0, 2 * pi);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0.66, 0.38, 0.07, 0, 2 * pi);
    SetColour(cr, ArtColour::FromHex(InkHex));
    cairo_fill(cr);
    cairo_arc(cr, 0.5, 0.5, 0.24, 0.15 * pi, 0.85 * pi);
    cairo_restore(cr);
    cairo_save(cr);
    SetColour(cr, ArtColour::FromHex(InkHex));
    cairo_set_line_width(cr, penWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void OutlinedText(cairo_t *cr, const std::string &text, double cx, double baseline, double size,
                  const ArtColour &fill, double outline)
{
  cairo_save(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_move_to(cr, cx - extents.width / 2 - extents.x_bearing, baseline);
  cairo_text_path(cr, text.c_str());
  if(outline > 0)
  {
    SetColour(cr, ArtColour::FromHex(InkHex));
    cairo_set_line_width(cr, outline);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  SetColour(cr, fill);
  cairo_fill(cr);
  cairo_restore(cr);
}

}
