#include "TitleArt.h"

#include "ArtLayout.h"
#include "ArtShapes.h"
#include "ToolArt.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

ArtColour Ink()
{
  return ArtColour::FromHex(ArtShapes::InkHex);
}

// The toy's colours for the title: bright and friendly.
const uint32_t Bright[] = {0xFF4A57, 0xFF9F2E, 0xFFD23A, 0x3FC46A, 0x2EC5E8, 0x3F8CFF, 0xC55BFF};

void Cloud(cairo_t *cr, double x, double y, double s)
{
  cairo_new_path(cr);
  cairo_arc(cr, x, y, 14 * s, 0, 2 * Pi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + 18 * s, y - 9 * s, 18 * s, 0, 2 * Pi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + 40 * s, y - 2 * s, 15 * s, 0, 2 * Pi);
  cairo_new_sub_path(cr);
  ArtShapes::RoundedRect(cr, x, y - 4 * s, 40 * s, 18 * s, 9 * s);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.92);
  cairo_fill(cr);
}

// The logo: each letter in its own colour, tilted a little, with an ink
// outline, a soft shadow and a light upper half.
void Logo(cairo_t *cr, const std::string &text, double cx, double baseline, double size)
{
  cairo_save(cr);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, size);
  std::vector<double> advances;
  double total = 0;
  const double spacing = size * 0.02;
  for(char ch : text)
  {
    const std::string glyph(1, ch);
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph.c_str(), &e);
    advances.push_back(e.x_advance + spacing);
    total += e.x_advance + spacing;
  }
  total -= spacing;
  const double tilts[] = {-0.10, 0.06, -0.05, 0.08, -0.06, 0.05, -0.08};
  const double lifts[] = {0.0, -4.0, 2.0, -5.0, 1.0, -3.0, 2.0};
  for(int pass = 0; pass < 3; ++pass)
  {
    double x = cx - total / 2;
    for(size_t i = 0; i < text.size(); ++i)
    {
      const std::string glyph(1, text[i]);
      cairo_text_extents_t e;
      cairo_text_extents(cr, glyph.c_str(), &e);
      const double gx = x + e.x_bearing + e.width / 2;
      const double gy = baseline + e.y_bearing + e.height / 2 + lifts[i % 7];
      cairo_save(cr);
      if(pass == 0)
      {
        // The shadow pass is drawn offset to the lower right.
        cairo_translate(cr, size * 0.04, size * 0.06);
      }
      cairo_translate(cr, gx, gy);
      cairo_rotate(cr, tilts[i % 7]);
      cairo_translate(cr, -gx, -gy);
      cairo_new_path(cr);
      cairo_move_to(cr, x, baseline + lifts[i % 7]);
      cairo_text_path(cr, glyph.c_str());
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      const ArtColour fill = ArtColour::FromHex(Bright[i % 7]);
      if(pass == 0)
      {
        ArtShapes::SetColour(cr, Ink(), 0.25);
        cairo_set_line_width(cr, size * 0.2);
        cairo_stroke(cr);
      }
      else if(pass == 1)
      {
        ArtShapes::SetColour(cr, Ink());
        cairo_set_line_width(cr, size * 0.14);
        cairo_stroke_preserve(cr);
        ArtShapes::SetColour(cr, {1, 1, 1});
        cairo_set_line_width(cr, size * 0.05);
        cairo_stroke(cr);
      }
      else
      {
        ArtShapes::SetColour(cr, fill);
        cairo_fill_preserve(cr);
        // Light upper half of the letter.
        cairo_clip(cr);
        cairo_rectangle(cr, x - 10, baseline + e.y_bearing - 10, e.x_advance + 20,
                        10 + (-e.y_bearing) * 0.45);
        ArtShapes::SetColour(cr, fill.Lighter(0.35));
        cairo_fill(cr);
        cairo_reset_clip(cr);
      }
      cairo_restore(cr);
      x += advances[i];
    }
  }
  cairo_restore(cr);
}

using ArtShapes::Doodle;

// A cube of the title's stack at grid cell (i, j, layer) of an isometric grid.
struct StackCube {
  int i;
  int j;
  int k;
  uint32_t colour;
  Doodle doodle = Doodle::None;
};

void DrawStack(cairo_t *cr, double ox, double oy, double hw, double ht, double side,
               std::vector<StackCube> cubes)
{
  std::stable_sort(cubes.begin(), cubes.end(), [](const StackCube &a, const StackCube &b) {
    if(a.i + a.j != b.i + b.j)
    {
      return a.i + a.j < b.i + b.j;
    }
    return a.k < b.k;
  });
  for(const StackCube &c : cubes)
  {
    ArtShapes::CubeGeometry g;
    g.halfWidth = hw;
    g.halfTop = ht;
    g.sideHeight = side;
    g.cx = ox + (c.i - c.j) * hw;
    g.top = oy + (c.i + c.j) * ht - c.k * side;
    ArtShapes::Cube(cr, g, ArtColour::FromHex(c.colour), 3);
    ArtShapes::CubeDoodle(cr, g, c.doodle);
  }
}

void Sparkle(cairo_t *cr, double x, double y, double r, const ArtColour &colour)
{
  ArtShapes::StarPath(cr, x, y, r, r * 0.38, 4);
  ArtShapes::SetColour(cr, colour);
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, Ink());
  cairo_set_line_width(cr, 1.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// A crescent: the disc (ax, ay, ar) less the disc (bx, by, br), which overlaps it.
void CrescentPath(cairo_t *cr, double ax, double ay, double ar, double bx, double by, double br)
{
  const double dx = bx - ax;
  const double dy = by - ay;
  const double d = std::sqrt(dx * dx + dy * dy);
  const double a = (ar * ar - br * br + d * d) / (2 * d);
  const double toB = std::atan2(dy, dx);
  const double alpha = std::acos(a / ar);
  // The two crossing points, seen from the centre of B.
  const double p1x = ax + ar * std::cos(toB - alpha);
  const double p1y = ay + ar * std::sin(toB - alpha);
  const double p2x = ax + ar * std::cos(toB + alpha);
  const double p2y = ay + ar * std::sin(toB + alpha);
  cairo_new_path(cr);
  cairo_arc(cr, ax, ay, ar, toB + alpha, toB - alpha + 2 * Pi);
  cairo_arc_negative(cr, bx, by, br, std::atan2(p1y - by, p1x - bx), std::atan2(p2y - by, p2x - bx));
  cairo_close_path(cr);
}

// A title button face covering the hit rectangle (left, top)-(right, bottom),
// inclusive, with its label; `lit` adds the gloss and the icon of the on picture.
void ButtonFace(cairo_t *cr, int left, int top, int right, int bottom, const ArtColour &colour,
                const std::string &label, bool lit, bool playIcon)
{
  const double x = left - 3.5;
  const double y = top - 3.5;
  const double w = right - left + 8;
  const double h = bottom - top + 8;
  const double r = 12;
  cairo_save(cr);
  // Drop shadow.
  ArtShapes::RoundedRect(cr, x + 3, y + 4, w, h, r);
  ArtShapes::SetColour(cr, Ink(), 0.3);
  cairo_fill(cr);
  ArtShapes::RoundedRect(cr, x, y, w, h, r);
  if(lit)
  {
    cairo_pattern_t *shade = cairo_pattern_create_linear(0, y, 0, y + h);
    const ArtColour topColour = colour.Lighter(0.25);
    const ArtColour bottomColour = colour.Darker(0.12);
    cairo_pattern_add_color_stop_rgb(shade, 0, topColour.red, topColour.green, topColour.blue);
    cairo_pattern_add_color_stop_rgb(shade, 1, bottomColour.red, bottomColour.green, bottomColour.blue);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
  }
  else
  {
    ArtShapes::SetColour(cr, colour);
    cairo_fill_preserve(cr);
  }
  ArtShapes::SetColour(cr, Ink());
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  if(lit)
  {
    // Gloss across the upper half.
    ArtShapes::RoundedRect(cr, x + 6, y + 4, w - 12, h * 0.36, 8);
    ArtShapes::SetColour(cr, {1, 1, 1}, 0.35);
    cairo_fill(cr);
  }
  const double cx = x + w / 2 + (lit ? 12 : 0);
  const double baseline = y + h / 2 + 9;
  ArtShapes::OutlinedText(cr, label, cx, baseline, 24, {1, 1, 1}, 5);
  if(lit)
  {
    // The icon left of the label: a play triangle for start, a moon for end.
    const double ix = x + 19;
    const double iy = y + h / 2;
    cairo_new_path(cr);
    if(playIcon)
    {
      cairo_move_to(cr, ix - 7, iy - 10);
      cairo_line_to(cr, ix + 10, iy);
      cairo_line_to(cr, ix - 7, iy + 10);
      cairo_close_path(cr);
    }
    else
    {
      CrescentPath(cr, ix, iy, 11, ix + 6, iy - 5, 9.5);
    }
    ArtShapes::SetColour(cr, ArtColour::FromHex(0xFFE45C));
    cairo_fill_preserve(cr);
    ArtShapes::SetColour(cr, Ink());
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

}

void TitleArt::Make(ArtSet &set)
{
  MakeTitle(set);
  MakeButtons(set);
  MakeSelectedFrames(set);
  MakePointer(set);
}

void TitleArt::MakeTitle(ArtSet &set)
{
  const int size = ArtLayout::TitleSize;
  auto image = std::make_unique<CairoImage>(size, size, false);
  cairo_t *cr = image->Context();
  const ArtColour ink = Ink();

  // A card with a sky, clouds and a calm floor; white all round it, like the
  // screen on either side of the picture.
  const double cardX = 8.5, cardY = 8.5, cardW = 495, cardH = 463;
  ArtShapes::RoundedRect(cr, cardX, cardY, cardW, cardH, 26);
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_pattern_t *sky = cairo_pattern_create_linear(0, 0, 0, 300);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.49, 0.78, 1.0);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.82, 0.94, 1.0);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  // Sun in the top-right corner, the light of the whole picture.
  for(int ray = 0; ray < 12; ++ray)
  {
    const double a = ray * Pi / 6 + 0.1;
    cairo_move_to(cr, 472 + 33 * std::cos(a), 40 + 33 * std::sin(a));
    cairo_line_to(cr, 472 + 50 * std::cos(a), 40 + 50 * std::sin(a));
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 6);
  cairo_set_source_rgba(cr, 1.0, 0.86, 0.3, 0.8);
  cairo_stroke(cr);
  cairo_arc(cr, 472, 40, 25, 0, 2 * Pi);
  ArtShapes::FillAndOutline(cr, ArtColour::FromHex(0xFFD23A), 3);
  cairo_new_path(cr);
  Cloud(cr, 40, 70, 1.0);
  Cloud(cr, 380, 150, 0.8);
  Cloud(cr, 60, 210, 0.7);

  // The floor: a calm, light band where the buttons sit.
  const double floorTop = 292;
  cairo_rectangle(cr, 0, floorTop, size, size - floorTop);
  cairo_pattern_t *floor = cairo_pattern_create_linear(0, floorTop, 0, 480);
  cairo_pattern_add_color_stop_rgb(floor, 0.0, 0.99, 0.93, 0.76);
  cairo_pattern_add_color_stop_rgb(floor, 1.0, 1.0, 0.97, 0.88);
  cairo_set_source(cr, floor);
  cairo_fill(cr);
  cairo_pattern_destroy(floor);
  cairo_move_to(cr, 0, floorTop);
  cairo_line_to(cr, size, floorTop);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0xE8B969));
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  // A border of coloured tiles at the bottom, below the buttons.
  for(int t = 0; t < 20; ++t)
  {
    ArtShapes::RoundedRect(cr, 14 + t * 24.5, 448, 20, 16, 4);
    ArtShapes::SetColour(cr, ArtColour::FromHex(Bright[t % 7]));
    cairo_fill_preserve(cr);
    ArtShapes::SetColour(cr, ink, 0.8);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  ArtShapes::RoundedRect(cr, cardX, cardY, cardW, cardH, 26);
  ArtShapes::SetColour(cr, ink);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);

  // A soft shadow on the floor under the stack.
  cairo_save(cr);
  cairo_translate(cr, 252, 299);
  cairo_scale(cr, 1.0, 0.09);
  cairo_arc(cr, 0, 0, 110, 0, 2 * Pi);
  cairo_restore(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0xC89A50), 0.45);
  cairo_fill(cr);

  // The stack: a little pyramid of cubes in every colour.
  DrawStack(cr, 250, 194, 25, 13.5, 27,
            {
              {0, 0, 0, 0x3F8CFF}, {1, 0, 0, 0xFFD23A}, {2, 0, 0, 0xFF4A57},
              {0, 1, 0, 0x3FC46A}, {1, 1, 0, 0xC55BFF}, {2, 1, 0, 0x2EC5E8, Doodle::SmileOnRight},
              {0, 2, 0, 0xFF9F2E, Doodle::StarOnLeft}, {1, 2, 0, 0xFF4A57}, {2, 2, 0, 0xFFD23A, Doodle::HeartOnLeft},
              {0, 0, 1, 0xFF4A57}, {1, 0, 1, 0x2EC5E8}, {0, 1, 1, 0xFFD23A}, {1, 1, 1, 0x3FC46A},
              {0, 0, 2, 0xC55BFF},
            });
  // Two loose cubes at the sides.
  ArtShapes::CubeGeometry g;
  g.halfWidth = 22;
  g.halfTop = 12;
  g.sideHeight = 24;
  g.cx = 118;
  g.top = 254;
  ArtShapes::Cube(cr, g, ArtColour::FromHex(0x2EC5E8), 3);
  g.cx = 448;
  g.top = 256;
  g.halfWidth = 18;
  g.halfTop = 10;
  g.sideHeight = 20;
  ArtShapes::Cube(cr, g, ArtColour::FromHex(0xFF9F2E), 3);
  // A big felt pen leaning on the stack, ready to colour.
  cairo_save(cr);
  cairo_translate(cr, 369, 242);
  cairo_rotate(cr, -0.58);
  ToolArt::DrawPen(cr, 120, 30, ArtColour::FromHex(0xFF4A57), 3);
  cairo_restore(cr);

  Sparkle(cr, 150, 176, 10, ArtColour::FromHex(0xFFFFFF));
  Sparkle(cr, 330, 140, 8, ArtColour::FromHex(0xFFE45C));
  Sparkle(cr, 72, 150, 7, ArtColour::FromHex(0xFFE45C));
  Sparkle(cr, 440, 210, 9, ArtColour::FromHex(0xFFFFFF));

  Logo(cr, "Vextorn", 256, 118, 86);

  set.Add("title.bmp", std::move(image));
}

void TitleArt::MakeButtons(ArtSet &set)
{
  const CairoImage *title = set.Find("title.bmp");
  struct Button {
    const char *name;
    int screenX;
    int left, top, right, bottom;
    uint32_t colour;
    const char *label;
    bool on;
    bool start;
  };
  const Button buttons[] = {
    {"start_on.bmp", ArtLayout::StartX, ArtLayout::StartFaceLeft, ArtLayout::StartFaceTop,
     ArtLayout::StartFaceRight, ArtLayout::StartFaceBottom, 0x3FC46A, "START", true, true},
    {"start_off.bmp", ArtLayout::StartX, ArtLayout::StartFaceLeft, ArtLayout::StartFaceTop,
     ArtLayout::StartFaceRight, ArtLayout::StartFaceBottom, 0x3FC46A, "START", false, true},
    {"end_on.bmp", ArtLayout::EndX, ArtLayout::EndFaceLeft, ArtLayout::EndFaceTop, ArtLayout::EndFaceRight,
     ArtLayout::EndFaceBottom, 0xFF6B5A, "END", true, false},
    {"end_off.bmp", ArtLayout::EndX, ArtLayout::EndFaceLeft, ArtLayout::EndFaceTop, ArtLayout::EndFaceRight,
     ArtLayout::EndFaceBottom, 0xFF6B5A, "END", false, false},
  };
  for(const Button &b : buttons)
  {
    auto image = std::make_unique<CairoImage>(ArtLayout::ButtonWidth, ArtLayout::ButtonHeight, false);
    // The title picture behind the button, pixel for pixel.
    image->CopyFrom(*title, b.screenX - ArtLayout::TitleX, ArtLayout::ButtonY, ArtLayout::ButtonWidth,
                    ArtLayout::ButtonHeight, 0, 0);
    ButtonFace(image->Context(), b.left, b.top, b.right, b.bottom, ArtColour::FromHex(b.colour), b.label,
               b.on, b.start);
    set.Add(b.name, std::move(image));
  }
}

void TitleArt::MakeSelectedFrames(ArtSet &set)
{
  // The ring lies around both button faces (the start face at x 65..200,
  // the end face at 80..215 of the frame), so one set of frames serves both.
  const double rx = 50.5, ry = 27.5, rw = 179, rh = 72, rr = 22;
  const double perimeter = 2 * (rw - 2 * rr) + 2 * (rh - 2 * rr) + 2 * Pi * rr;
  struct Star {
    double x, y, r;
    uint32_t colour;
  };
  const Star stars[] = {
    {140, 20, 11, 0xFFE45C}, {222, 28, 9, 0xFF4A57}, {238, 66, 12, 0x2EC5E8},
    {214, 106, 9, 0x3FC46A}, {140, 112, 11, 0xFF9F2E}, {64, 106, 9, 0xC55BFF},
    {40, 62, 12, 0x3F8CFF}, {58, 26, 9, 0xFF4A57},
  };
  for(int f = 0; f < ArtLayout::SelectedFrames; ++f)
  {
    auto image = std::make_unique<CairoImage>(ArtLayout::SelectedWidth, ArtLayout::SelectedHeight, true);
    cairo_t *cr = image->Context();
    const double progress = (f + 1) / 10.0;
    // The ring is traced clockwise from its top centre.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto ringPath = [&]() {
      cairo_new_path(cr);
      cairo_move_to(cr, rx + rw / 2, ry);
      cairo_line_to(cr, rx + rw - rr, ry);
      cairo_arc(cr, rx + rw - rr, ry + rr, rr, -Pi / 2, 0);
      cairo_line_to(cr, rx + rw, ry + rh - rr);
      cairo_arc(cr, rx + rw - rr, ry + rh - rr, rr, 0, Pi / 2);
      cairo_line_to(cr, rx + rr, ry + rh);
      cairo_arc(cr, rx + rr, ry + rh - rr, rr, Pi / 2, Pi);
      cairo_line_to(cr, rx, ry + rr);
      cairo_arc(cr, rx + rr, ry + rr, rr, Pi, 3 * Pi / 2);
      cairo_close_path(cr);
    };
    const double drawn = perimeter * progress;
    const double dashes[] = {drawn, perimeter + 10};
    ringPath();
    cairo_set_dash(cr, dashes, 2, 0);
    ArtShapes::SetColour(cr, Ink());
    cairo_set_line_width(cr, 10);
    cairo_stroke(cr);
    ringPath();
    ArtShapes::SetColour(cr, ArtColour::FromHex(0xFFD23A));
    cairo_set_line_width(cr, 5.5);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_new_path(cr);
    // Stars pop in one after another, each growing over three frames.
    for(size_t s = 0; s < 8; ++s)
    {
      const double appear = s * 0.9;
      const double grow = std::clamp((f - appear + 1) / 3.0, 0.0, 1.0);
      if(grow <= 0)
      {
        continue;
      }
      // A small overshoot makes them pop.
      const double scale = grow < 1.0 ? grow * 1.25 : 1.0;
      const Star &st = stars[s];
      ArtShapes::StarPath(cr, st.x, st.y, st.r * scale, st.r * scale * 0.45, 5, 0.1 * s);
      ArtShapes::SetColour(cr, ArtColour::FromHex(st.colour));
      cairo_fill_preserve(cr);
      ArtShapes::SetColour(cr, Ink());
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
    }
    // The last frames add short bursts of light at the corners.
    if(f >= 8)
    {
      const double len = f == 8 ? 5 : 9;
      const double corners[][3] = {{rx - 2, ry - 2, 5 * Pi / 4}, {rx + rw + 2, ry - 2, 7 * Pi / 4},
                                   {rx + rw + 2, ry + rh + 2, Pi / 4}, {rx - 2, ry + rh + 2, 3 * Pi / 4}};
      for(const auto &c : corners)
      {
        for(int k = -1; k <= 1; ++k)
        {
          const double a = c[2] + k * 0.45;
          cairo_move_to(cr, c[0] + 4 * std::cos(a), c[1] + 4 * std::sin(a));
          cairo_line_to(cr, c[0] + (4 + len) * std::cos(a), c[1] + (4 + len) * std::sin(a));
        }
      }
      ArtShapes::SetColour(cr, Ink());
      cairo_set_line_width(cr, 5);
      cairo_stroke_preserve(cr);
      ArtShapes::SetColour(cr, ArtColour::FromHex(0xFFE45C));
      cairo_set_line_width(cr, 2.5);
      cairo_stroke(cr);
    }
    set.Add("selected" + std::to_string(f) + ".png", std::move(image));
  }
}

void TitleArt::MakePointer(ArtSet &set)
{
  auto image = std::make_unique<CairoImage>(32, 32, true);
  cairo_t *cr = image->Context();
  // An arrow whose tip is the top-left pixel, the point at the mouse.
  cairo_move_to(cr, 1, 1);
  cairo_line_to(cr, 1, 24);
  cairo_line_to(cr, 7, 19);
  cairo_line_to(cr, 11, 28);
  cairo_line_to(cr, 16, 26);
  cairo_line_to(cr, 12, 17.5);
  cairo_line_to(cr, 20, 17.5);
  cairo_close_path(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(0xFFD23A));
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, Ink());
  cairo_set_line_width(cr, 2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
  cairo_move_to(cr, 4, 7);
  cairo_line_to(cr, 4, 17);
  cairo_set_line_width(cr, 1.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  ArtShapes::SetColour(cr, {1, 1, 1}, 0.85);
  cairo_stroke(cr);
  set.Add("cursor_default.png", std::move(image));
}
