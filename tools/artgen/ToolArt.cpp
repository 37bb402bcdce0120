#include "ToolArt.h"

#include "ArtLayout.h"
#include "ArtShapes.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {

constexpr double Pi = 3.14159265358979323846;

ArtColour Ink()
{
  return ArtColour::FromHex(ArtShapes::InkHex);
}

// A capsule from (x0, y0) to (x1, y1): stroked with round caps.
void Capsule(cairo_t *cr, double x0, double y0, double x1, double y1, double width,
             const ArtColour &colour)
{
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, width);
  ArtShapes::SetColour(cr, colour);
  cairo_stroke(cr);
}

// A curved arrow along a circle arc from angle a0 to a1 (radians, clockwise
// when a1 > a0) with its head at a1.
void ArcArrow(cairo_t *cr, double cx, double cy, double r, double a0, double a1,
              const ArtColour &colour, double width)
{
  const ArtColour ink = Ink();
  const double dir = a1 > a0 ? 1.0 : -1.0;
  const double hx = cx + r * std::cos(a1);
  const double hy = cy + r * std::sin(a1);
  // Tangent direction at the head.
  const double tx = -std::sin(a1) * dir;
  const double ty = std::cos(a1) * dir;
  const double nx = std::cos(a1);
  const double ny = std::sin(a1);
  const double head = width * 1.6;
  auto headPath = [&]() {
    cairo_move_to(cr, hx + tx * head * 1.1, hy + ty * head * 1.1);
    cairo_line_to(cr, hx + nx * head - tx * head * 0.2, hy + ny * head - ty * head * 0.2);
    cairo_line_to(cr, hx - nx * head - tx * head * 0.2, hy - ny * head - ty * head * 0.2);
    cairo_close_path(cr);
  };
  auto arcPath = [&]() {
    if(dir > 0)
    {
      cairo_arc(cr, cx, cy, r, a0, a1);
    }
    else
    {
      cairo_arc_negative(cr, cx, cy, r, a0, a1);
    }
  };
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_new_path(cr);
  arcPath();
  ArtShapes::SetColour(cr, ink);
  cairo_set_line_width(cr, width + 3);
  cairo_stroke(cr);
  headPath();
  cairo_set_line_width(cr, 3);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  cairo_new_path(cr);
  arcPath();
  ArtShapes::SetColour(cr, colour);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
  headPath();
  cairo_fill(cr);
  cairo_restore(cr);
}

}

void ToolArt::Make(ArtSet &set)
{
  MakeBackground(set);
  MakeHand(set);
  MakeEraser(set);
  MakePrinter(set);
  MakeExit(set);
  MakePens(set);
  MakeCubes(set);
  MakeHistoryButtons(set);
}

void ToolArt::DrawPen(cairo_t *cr, double length, double width, const ArtColour &colour,
                      double lineWidth)
{
  const ArtColour ink = Ink();
  const double half = length / 2;
  const double w = width / 2;
  const double tipTop = -half;
  const double nibBase = -half + length * 0.16;
  const double collarBase = nibBase + length * 0.1;
  const double capTop = half - length * 0.17;
  // Light colours keep a visible body: the barrel takes a deeper shade of them.
  const ArtColour body = colour.Luma() > 0.85 ? colour.Darker(0.04) : colour;
  const ArtColour bodyShade = colour.Luma() < 0.15 ? colour.Lighter(0.25) : colour.Darker(0.22);

  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, lineWidth);

  // Nib: a rounded felt tip in the ink colour.
  cairo_move_to(cr, -w * 0.42, nibBase);
  cairo_line_to(cr, -w * 0.26, tipTop + w * 0.3);
  cairo_curve_to(cr, -w * 0.2, tipTop - w * 0.05, w * 0.2, tipTop - w * 0.05, w * 0.26, tipTop + w * 0.3);
  cairo_line_to(cr, w * 0.42, nibBase);
  cairo_close_path(cr);
  ArtShapes::FillAndOutline(cr, colour, lineWidth);
  cairo_new_path(cr);

  // Collar: a light cone from the nib to the barrel.
  cairo_move_to(cr, -w * 0.5, nibBase);
  cairo_line_to(cr, w * 0.5, nibBase);
  cairo_line_to(cr, w, collarBase);
  cairo_line_to(cr, -w, collarBase);
  cairo_close_path(cr);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xEEF0F6), lineWidth);
  cairo_new_path(cr);

  // Barrel.
  cairo_rectangle(cr, -w, collarBase, width, capTop - collarBase);
  ArtShapes::FillAndOutline(cr, body, lineWidth);
  cairo_new_path(cr);
  // Shade on the right side of the barrel, light on the left.
  cairo_rectangle(cr, w * 0.35, collarBase + lineWidth / 2, w * 0.65 - lineWidth / 2,
                  capTop - collarBase - lineWidth);
  ArtShapes::SetColour(cr, bodyShade);
  cairo_fill(cr);
  cairo_move_to(cr, -w * 0.45, collarBase + lineWidth * 1.5);
  cairo_line_to(cr, -w * 0.45, capTop - lineWidth * 1.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, std::max(1.0, w * 0.3));
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.7);
  cairo_stroke(cr);
  // Two thin rings where the barrel meets the end cap.
  cairo_set_line_width(cr, lineWidth * 0.7);
  ArtShapes::SetColour(cr, ink);
  for(int ring = 1; ring <= 2; ++ring)
  {
    const double y = capTop - ring * length * 0.05;
    cairo_move_to(cr, -w, y);
    cairo_line_to(cr, w, y);
  }
  cairo_stroke(cr);

  // End cap: rounded, slightly wider.
  cairo_set_line_width(cr, lineWidth);
  ArtShapes::RoundedRect(cr, -w - 0.6, capTop, width + 1.2, half - capTop, std::min(w * 0.6, (half - capTop) * 0.4));
  ArtShapes::FillAndOutline(cr, bodyShade, lineWidth);
  cairo_new_path(cr);
  cairo_restore(cr);
}

void ToolArt::DrawCross(cairo_t *cr, double x0, double y0, double x1, double y1, double bar,
                        double lineWidth)
{
  const ArtColour red = ArtColour::FromHex(0xF03A4C);
  const ArtColour ink = Ink();
  Capsule(cr, x0, y0, x1, y1, bar + 2 * lineWidth, ink);
  Capsule(cr, x1, y0, x0, y1, bar + 2 * lineWidth, ink);
  Capsule(cr, x0, y0, x1, y1, bar, red);
  Capsule(cr, x1, y0, x0, y1, bar, red);
  // Light the upper-left edge of each bar near its top end.
  const double s = bar * 0.22;
  const double hx = (x1 - x0) * 0.18;
  const double hy = (y1 - y0) * 0.18;
  Capsule(cr, x0 + hx * 0.4, y0 + hy * 0.2 - s * 0.3, x0 + hx * 1.5, y0 + hy * 1.3 - s * 0.3, bar * 0.2,
          ArtColour::FromHex(0xFFB8C0));
  Capsule(cr, x1 - hx * 0.4, y0 + hy * 0.2 - s * 0.3, x1 - hx * 1.2, y0 + hy * 1.0 - s * 0.3, bar * 0.2,
          ArtColour::FromHex(0xFFB8C0));
}

void ToolArt::DrawHand(cairo_t *cr, double cx, double cy, double scale, double lineWidth)
{
  const ArtColour skin = ArtColour::FromHex(0xFFD19A);
  const ArtColour shade = ArtColour::FromHex(0xF0AF72);
  const ArtColour ink = Ink();
  const double s = scale;
  struct Finger {
    double x0, y0, x1, y1, width;
  };
  // Thumb, then index to little finger, all relative to the palm centre.
  const Finger fingers[] = {
    {-10, 4, -24, -8, 9.5},
    {-8, -6, -11, -29, 8.5},
    {-1, -6, -0.5, -33, 8.5},
    {6, -6, 9, -30, 8.5},
    {12, -2, 17, -22, 7.5},
  };
  auto palmPath = [&]() {
    cairo_new_path(cr);
    cairo_move_to(cr, cx + (-13) * s, cy + (-8) * s);
    cairo_line_to(cr, cx + 15 * s, cy + (-8) * s);
    cairo_curve_to(cr, cx + 19 * s, cy + 6 * s, cx + 14 * s, cy + 18 * s, cx + 3 * s, cy + 20 * s);
    cairo_curve_to(cr, cx + (-8) * s, cy + 21 * s, cx + (-15) * s, cy + 12 * s, cx + (-14) * s, cy + 2 * s);
    cairo_close_path(cr);
  };
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Silhouette in ink, then the skin on top, so that the outline runs around
  // the union of palm and fingers and between the fingers.
  for(const Finger &f : fingers)
  {
    Capsule(cr, cx + f.x0 * s, cy + f.y0 * s, cx + f.x1 * s, cy + f.y1 * s, f.width * s + 2 * lineWidth, ink);
  }
  palmPath();
  ArtShapes::SetColour(cr, ink);
  cairo_set_line_width(cr, 2 * lineWidth);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  for(const Finger &f : fingers)
  {
    Capsule(cr, cx + f.x0 * s, cy + f.y0 * s, cx + f.x1 * s, cy + f.y1 * s, f.width * s, skin);
  }
  palmPath();
  ArtShapes::SetColour(cr, skin);
  cairo_fill(cr);
  // Shade along the right of the palm and a palm crease.
  cairo_new_path(cr);
  cairo_move_to(cr, cx + 13 * s, cy + (-4) * s);
  cairo_curve_to(cr, cx + 16 * s, cy + 6 * s, cx + 12 * s, cy + 15 * s, cx + 3 * s, cy + 17 * s);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 4 * s);
  ArtShapes::SetColour(cr, shade);
  cairo_stroke(cr);
  cairo_move_to(cr, cx + (-6) * s, cy + 8 * s);
  cairo_curve_to(cr, cx + (-2) * s, cy + 11 * s, cx + 4 * s, cy + 10 * s, cx + 7 * s, cy + 6 * s);
  cairo_set_line_width(cr, std::max(1.0, lineWidth * 0.7));
  ArtShapes::SetColour(cr, shade.Darker(0.2));
  cairo_stroke(cr);
  // Finger tips catch the light.
  for(int i = 1; i < 5; ++i)
  {
    const Finger &f = fingers[i];
    cairo_arc(cr, cx + (f.x1 - f.width * 0.12) * s, cy + (f.y1 + 1) * s, f.width * 0.16 * s, 0, 2 * Pi);
    ArtShapes::SetColour(cr, {1, 1, 1}, 0.6);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void ToolArt::MakeBackground(ArtSet &set)
{
  auto image = std::make_unique<CairoImage>(ArtLayout::ScreenWidth, ArtLayout::ScreenHeight, false);
  cairo_t *cr = image->Context();
  const ArtColour ink = Ink();

  // A sunny sky-blue wall with a soft vertical gradient.
  cairo_pattern_t *sky = cairo_pattern_create_linear(0, 0, 0, ArtLayout::ScreenHeight);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.71, 0.87, 1.0);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.86, 0.94, 1.0);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  // Polka dots, a little lighter than the wall.
  for(int row = 0; row < 21; ++row)
  {
    for(int col = 0; col < 28; ++col)
    {
      const double x = col * 24 + (row % 2) * 12 + 6;
      const double y = row * 24 + 6;
      cairo_arc(cr, x, y, 3.2, 0, 2 * Pi);
    }
  }
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.35);
  cairo_fill(cr);

  // The tool column: a rounded panel with one well per tool.
  ArtShapes::RoundedRect(cr, 3.5, 115.5, 97, 361, 14);
  cairo_set_source_rgb(cr, 1.0, 0.95, 0.78);
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ink);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  const int toolYs[] = {ArtLayout::HandY, ArtLayout::EraserY, ArtLayout::PrinterY, ArtLayout::ExitY};
  for(int y : toolYs)
  {
    ArtShapes::RoundedRect(cr, 12.5, y + 4.5, 79, 79, 12);
    cairo_set_source_rgb(cr, 1.0, 0.99, 0.94);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.93, 0.8, 0.52);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }

  // Two shelves along the top: a groove for the pens and a plank for the cubes.
  auto shelf = [&](double top, double height, const ArtColour &wood) {
    ArtShapes::RoundedRect(cr, 106.5, top + 0.5, 527, height, 5);
    ArtShapes::SetColour(cr, wood);
    cairo_fill_preserve(cr);
    ArtShapes::SetColour(cr, ink);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_move_to(cr, 112, top + 4);
    cairo_line_to(cr, 628, top + 4);
    ArtShapes::SetColour(cr, wood.Lighter(0.45));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  };
  // Back boards behind the rows, lighter than the wall.
  ArtShapes::RoundedRect(cr, 106.5, 8.5, 527, 110, 12);
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.45);
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0x6FA8DC));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // A pad for every pen and every cube, so that each button has its place.
  for(const ArtLayout::Colour &c : ArtLayout::Colours)
  {
    ArtShapes::RoundedRect(cr, c.penX - 3.5, 13.5, 47, 44, 9);
    ArtShapes::RoundedRect(cr, c.cubeX + 4.5, 67.5, 47, 38, 9);
  }
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.7);
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0x8DBCE8));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  shelf(56, 9, ArtColour::FromHex(0xE59A52));
  shelf(104, 10, ArtColour::FromHex(0xE59A52));

  DrawCorner(cr);

  // The model area's frame: a thick rounded border just outside the white area.
  ArtShapes::RoundedRect(cr, ArtLayout::ModelLeft - 7.5, ArtLayout::ModelTop - 7.5,
                         ArtLayout::ModelRight - ArtLayout::ModelLeft + 15,
                         ArtLayout::ModelBottom - ArtLayout::ModelTop + 15, 10);
  cairo_set_source_rgb(cr, 0.42, 0.62, 0.98);
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ink);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_rectangle(cr, ArtLayout::ModelLeft - 1, ArtLayout::ModelTop - 1,
                  ArtLayout::ModelRight - ArtLayout::ModelLeft + 2,
                  ArtLayout::ModelBottom - ArtLayout::ModelTop + 2);
  ArtShapes::SetColour(cr, ink);
  cairo_fill(cr);
  cairo_rectangle(cr, ArtLayout::ModelLeft, ArtLayout::ModelTop, ArtLayout::ModelRight - ArtLayout::ModelLeft,
                  ArtLayout::ModelBottom - ArtLayout::ModelTop);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);

  set.Add("background.bmp", std::move(image));
}

void ToolArt::DrawCorner(cairo_t *cr)
{
  // Nothing outside the corner changes.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, ArtLayout::CornerRight, ArtLayout::CornerBottom);
  cairo_clip(cr);
  // A board like the one behind the shelves, with a well for each button
  // like the tool column's.
  ArtShapes::RoundedRect(cr, 3.5, 8.5, 97, 103, 12);
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.45);
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0x6FA8DC));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  for(int y : {ArtLayout::UndoY, ArtLayout::RedoY})
  {
    ArtShapes::RoundedRect(cr, ArtLayout::ToolX + 4.5, y + 3.5, ArtLayout::HistoryWidth - 9,
                           ArtLayout::HistoryHeight - 7, 10);
    cairo_set_source_rgb(cr, 1.0, 0.99, 0.94);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.93, 0.8, 0.52);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void ToolArt::MakeHistoryButtons(ArtSet &set)
{
  struct Button {
    const char *name;
    bool forward;
    uint32_t colour;
  };
  // Undo turns back (anticlockwise, its head on the left), redo turns
  // forward (clockwise, its head on the right); both heads point down.
  const Button buttons[] = {{"undo.png", false, 0x3F8CFF}, {"redo.png", true, 0x3FC46A}};
  for(const Button &b : buttons)
  {
    auto image = std::make_unique<CairoImage>(ArtLayout::HistoryWidth, ArtLayout::HistoryHeight, true);
    cairo_t *cr = image->Context();
    const double cx = ArtLayout::HistoryWidth / 2.0;
    const double cy = 27;
    const double r = 16;
    if(b.forward)
      ArcArrow(cr, cx, cy, r, Pi * 0.8, Pi * 2.02, ArtColour::FromHex(b.colour), 7);
    else
      ArcArrow(cr, cx, cy, r, Pi * 0.2, -Pi * 1.02, ArtColour::FromHex(b.colour), 7);
    set.Add(b.name, std::move(image));
  }
}

void ToolArt::MakeHand(ArtSet &set)
{
  auto image = std::make_unique<CairoImage>(ArtLayout::ToolSize, ArtLayout::ToolSize, true);
  cairo_t *cr = image->Context();
  // Two turning arrows around the hand say "turn the view".
  ArcArrow(cr, 44, 46, 34, Pi * 1.08, Pi * 1.42, ArtColour::FromHex(0x3F8CFF), 5);
  ArcArrow(cr, 44, 46, 34, Pi * 0.08, Pi * 0.42, ArtColour::FromHex(0x3F8CFF), 5);
  DrawHand(cr, 44, 52, 1.05, 2.5);
  set.Add("hand.png", std::move(image));
}

void ToolArt::MakeEraser(ArtSet &set)
{
  auto image = std::make_unique<CairoImage>(ArtLayout::ToolSize, ArtLayout::ToolSize, true);
  cairo_t *cr = image->Context();
  DrawCross(cr, 24, 24, 64, 64, 17, 3);
  set.Add("peke.png", std::move(image));
}

void ToolArt::MakePrinter(ArtSet &set)
{
  auto image = std::make_unique<CairoImage>(ArtLayout::ToolSize, ArtLayout::ToolSize, true);
  cairo_t *cr = image->Context();
  const double lw = 2.5;
  // Paper waiting at the back.
  cairo_rectangle(cr, 27.5, 12.5, 33, 30);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xFFFFFF), lw);
  cairo_new_path(cr);
  for(int i = 0; i < 3; ++i)
  {
    cairo_move_to(cr, 33, 20.5 + i * 6);
    cairo_line_to(cr, 55 - i * 6, 20.5 + i * 6);
  }
  cairo_set_line_width(cr, 2);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0x9FB3D6));
  cairo_stroke(cr);
  // Body: a friendly rounded box lit from the top left.
  ArtShapes::RoundedRect(cr, 12.5, 34.5, 63, 32, 8);
  cairo_pattern_t *bodyShade = cairo_pattern_create_linear(12, 34, 76, 66);
  cairo_pattern_add_color_stop_rgb(bodyShade, 0.0, 0.55, 0.86, 0.98);
  cairo_pattern_add_color_stop_rgb(bodyShade, 1.0, 0.26, 0.6, 0.86);
  cairo_set_source(cr, bodyShade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(bodyShade);
  ArtShapes::SetColour(cr, Ink());
  cairo_set_line_width(cr, lw);
  cairo_stroke(cr);
  cairo_move_to(cr, 20, 39);
  cairo_line_to(cr, 60, 39);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2.5);
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.6);
  cairo_stroke(cr);
  // Lights: a green one that is on and a yellow button.
  cairo_arc(cr, 66, 45, 3.2, 0, 2 * Pi);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0x5BE36B), 1.5);
  cairo_new_path(cr);
  cairo_arc(cr, 57, 45, 3.2, 0, 2 * Pi);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xFFD23A), 1.5);
  cairo_new_path(cr);
  // The slot and the printed page coming out with a picture of cubes.
  ArtShapes::RoundedRect(cr, 20.5, 54.5, 47, 6, 3);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0x2B4F7A), 2);
  cairo_new_path(cr);
  cairo_move_to(cr, 24.5, 57.5);
  cairo_line_to(cr, 63.5, 57.5);
  cairo_line_to(cr, 67.5, 79.5);
  cairo_line_to(cr, 20.5, 79.5);
  cairo_close_path(cr);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xFFFFFF), lw);
  cairo_new_path(cr);
  ArtShapes::CubeGeometry g;
  g.halfWidth = 6;
  g.halfTop = 3.2;
  g.sideHeight = 6.5;
  g.cx = 37;
  g.top = 63;
  ArtShapes::Cube(cr, g, ArtColour::FromHex(0xFF4A57), 1.2);
  g.cx = 50;
  ArtShapes::Cube(cr, g, ArtColour::FromHex(0x3FC46A), 1.2);
  set.Add("printer.png", std::move(image));
}

void ToolArt::MakeExit(ArtSet &set)
{
  auto image = std::make_unique<CairoImage>(ArtLayout::ToolSize, ArtLayout::ToolSize, true);
  cairo_t *cr = image->Context();
  const ArtColour ink = Ink();
  const double lw = 2.5;
  // The door frame and the bright room beyond it.
  cairo_rectangle(cr, 30.5, 10.5, 40, 68);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0x8A5A3B), lw);
  cairo_new_path(cr);
  cairo_rectangle(cr, 35.5, 15.5, 30, 63);
  cairo_pattern_t *light = cairo_pattern_create_linear(35, 15, 65, 78);
  cairo_pattern_add_color_stop_rgb(light, 0.0, 1.0, 0.98, 0.8);
  cairo_pattern_add_color_stop_rgb(light, 1.0, 1.0, 0.84, 0.38);
  cairo_set_source(cr, light);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(light);
  ArtShapes::SetColour(cr, ink);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // The door leaf, swung open towards us on its left hinge.
  cairo_move_to(cr, 35.5, 15.5);
  cairo_line_to(cr, 15.5, 7.5);
  cairo_line_to(cr, 15.5, 84.5);
  cairo_line_to(cr, 35.5, 78.5);
  cairo_close_path(cr);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xF0923E), lw);
  cairo_new_path(cr);
  // Its panels and its knob.
  cairo_move_to(cr, 19.5, 15);
  cairo_line_to(cr, 31.5, 20);
  cairo_line_to(cr, 31.5, 42);
  cairo_line_to(cr, 19.5, 40);
  cairo_close_path(cr);
  cairo_move_to(cr, 19.5, 50);
  cairo_line_to(cr, 31.5, 51);
  cairo_line_to(cr, 31.5, 73);
  cairo_line_to(cr, 19.5, 76);
  cairo_close_path(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0xD9762A));
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ink, 0.6);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  cairo_arc(cr, 30, 47, 3.4, 0, 2 * Pi);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xFFD23A), 1.5);
  cairo_new_path(cr);
  // A green arrow out through the doorway.
  const ArtColour green = ArtColour::FromHex(0x3FC46A);
  auto arrow = [&]() {
    cairo_new_path(cr);
    cairo_move_to(cr, 42, 40);
    cairo_line_to(cr, 62, 40);
    cairo_line_to(cr, 62, 31);
    cairo_line_to(cr, 80, 47);
    cairo_line_to(cr, 62, 63);
    cairo_line_to(cr, 62, 54);
    cairo_line_to(cr, 42, 54);
    cairo_close_path(cr);
  };
  arrow();
  ArtShapes::FillAndOutline(cr, green, lw);
  cairo_new_path(cr);
  cairo_move_to(cr, 45, 43);
  cairo_line_to(cr, 63, 43);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2);
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.6);
  cairo_stroke(cr);
  set.Add("exit.png", std::move(image));
}

void ToolArt::MakePens(ArtSet &set)
{
  for(const ArtLayout::Colour &c : ArtLayout::Colours)
  {
    auto image = std::make_unique<CairoImage>(ArtLayout::PenWidth, ArtLayout::PenHeight, true);
    cairo_t *cr = image->Context();
    cairo_translate(cr, 20, 24);
    cairo_rotate(cr, 30 * Pi / 180);
    DrawPen(cr, 47, 12.5, ArtColour::FromHex(c.rgb), 1.8);
    set.Add(std::string("pen_") + c.word + ".png", std::move(image));
  }
}

void ToolArt::MakeCubes(ArtSet &set)
{
  for(const ArtLayout::Colour &c : ArtLayout::Colours)
  {
    auto image = std::make_unique<CairoImage>(ArtLayout::CubeWidth, ArtLayout::CubeHeight, true);
    cairo_t *cr = image->Context();
    ArtShapes::CubeGeometry g;
    g.cx = 28;
    g.top = 3;
    g.halfWidth = 19;
    g.halfTop = 10.5;
    g.sideHeight = 21;
    ArtShapes::Cube(cr, g, ArtColour::FromHex(c.rgb), 2.2);
    set.Add(std::string("cube_") + c.word + ".png", std::move(image));
  }
}
