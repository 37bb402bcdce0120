#include "CursorArt.h"

#include "ArtLayout.h"
#include "ArtShapes.h"
#include "ToolArt.h"

#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

constexpr double Pi = 3.14159265358979323846;

// A small arrow whose tip covers the top-left pixels, for the cursors whose
// hot spot is (1, 1).
void Arrow(cairo_t *cr)
{
  cairo_move_to(cr, 0.6, 0.6);
  cairo_line_to(cr, 0.6, 23);
  cairo_line_to(cr, 6.5, 18);
  cairo_line_to(cr, 10.5, 26.5);
  cairo_line_to(cr, 15, 24.5);
  cairo_line_to(cr, 11.2, 16.5);
  cairo_line_to(cr, 19, 16.5);
  cairo_close_path(cr);
  ArtShapes::SetColour(cr, {1, 1, 1});
  cairo_fill_preserve(cr);
  ArtShapes::SetColour(cr, ArtColour::FromHex(ArtShapes::InkHex));
  cairo_set_line_width(cr, 2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
}

}

std::unique_ptr<CairoImage> CursorArt::Draw(const Painter &paint)
{
  auto image = std::make_unique<CairoImage>(ArtLayout::CursorSize, ArtLayout::CursorSize, true);
  paint(image->Context());
  return image;
}

std::unique_ptr<CairoImage> CursorArt::MaskOf(const CairoImage &drawn)
{
  auto mask = std::make_unique<CairoImage>(drawn.Width(), drawn.Height(), false);
  for(int y = 0; y < drawn.Height(); ++y)
  {
    for(int x = 0; x < drawn.Width(); ++x)
    {
      mask->SetPixel(x, y, (drawn.Pixel(x, y) >> 24) >= 128 ? 0x000000 : 0xFFFFFF);
    }
  }
  return mask;
}

std::unique_ptr<CairoImage> CursorArt::ColourOf(const CairoImage &drawn, const CairoImage &mask)
{
  auto colour = std::make_unique<CairoImage>(drawn.Width(), drawn.Height(), false);
  for(int y = 0; y < drawn.Height(); ++y)
  {
    for(int x = 0; x < drawn.Width(); ++x)
    {
      const bool under = (mask.Pixel(x, y) & 0xFFFFFF) == 0;
      colour->SetPixel(x, y, under ? drawn.Pixel(x, y) & 0xFFFFFF : 0x000000);
    }
  }
  return colour;
}

void CursorArt::AddCursor(ArtSet &set, const std::string &name, const std::string &maskName,
                          const Painter &paint)
{
  std::unique_ptr<CairoImage> drawn = Draw(paint);
  if(set.Find(maskName) == nullptr)
  {
    set.Add(maskName, MaskOf(*drawn));
  }
  const CairoImage &mask = *set.Find(maskName);
  // A shared mask only works when every cursor of the family has its shape.
  std::unique_ptr<CairoImage> ownMask = MaskOf(*drawn);
  for(int y = 0; y < mask.Height(); ++y)
  {
    for(int x = 0; x < mask.Width(); ++x)
    {
      if(ownMask->Pixel(x, y) != mask.Pixel(x, y))
      {
        throw std::logic_error("cursor " + name + " does not fit the shared mask " + maskName);
      }
    }
  }
  set.Add("cursor_" + name + ".bmp", ColourOf(*drawn, mask));
  set.Add("cursor_" + name + ".png", std::move(drawn));
}

void CursorArt::Make(ArtSet &set)
{
  // Eraser: an arrow with a bold red X beside its tail; hot spot (1, 1).
  AddCursor(set, "delete", "cursor_delete_mask.bmp", [](cairo_t *cr) {
    ToolArt::DrawCross(cr, 30, 30, 54, 54, 10, 2);
    Arrow(cr);
  });
  // Hand: the hot spot (26, 26) lies where the middle finger meets the palm.
  AddCursor(set, "hand", "cursor_hand_mask.bmp", [](cairo_t *cr) {
    ToolArt::DrawHand(cr, 26, 34, 0.86, 2);
  });
  // Pens: the pen held at 45 degrees, its felt tip at (1, 60).
  for(const ArtLayout::Colour &c : ArtLayout::Colours)
  {
    AddCursor(set, std::string("pen_") + c.word, "cursor_pen_mask.bmp", [&c](cairo_t *cr) {
      const double length = 76;
      const double tipX = 0.6, tipY = 61.4;
      cairo_translate(cr, tipX + length / 2 * std::sqrt(0.5), tipY - length / 2 * std::sqrt(0.5));
      cairo_rotate(cr, -3 * Pi / 4);
      ToolArt::DrawPen(cr, length, 14, ArtColour::FromHex(c.rgb), 2);
    });
  }
  // Cubes: an arrow with the cube it will place; hot spot (1, 1).
  for(const ArtLayout::Colour &c : ArtLayout::Colours)
  {
    AddCursor(set, std::string("cube_") + c.word, "cursor_cube_mask.bmp", [&c](cairo_t *cr) {
      ArtShapes::CubeGeometry g;
      g.cx = 42;
      g.top = 21;
      g.halfWidth = 18;
      g.halfTop = 10;
      g.sideHeight = 20;
      ArtShapes::Cube(cr, g, ArtColour::FromHex(c.rgb), 2);
      Arrow(cr);
    });
  }
}
