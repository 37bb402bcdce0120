#include "ReviewSheets.h"

#include "ArtLayout.h"
#include "ArtShapes.h"
#include "base/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// Draws a picture with its top-left corner at (x, y), modulated by alpha as
// the program's sprites are.
void Place(cairo_t *cr, const CairoImage &picture, double x, double y, double alpha = 1.0)
{
  cairo_save(cr);
  cairo_set_source_surface(cr, picture.Surface(), x, y);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

const CairoImage &Get(const ArtSet &set, const std::string &name)
{
  const CairoImage *image = set.Find(name);
  if(image == nullptr)
  {
    throw std::logic_error("review sheet needs " + name);
  }
  return *image;
}

// The software cursor as the program draws it: AND with the mask, then OR
// with the colour bitmap, the hot spot at (x, y).
void PlaceCursor(CairoImage &screen, const CairoImage &colour, const CairoImage &mask, int x, int y)
{
  for(int cy = 0; cy < mask.Height(); ++cy)
  {
    for(int cx = 0; cx < mask.Width(); ++cx)
    {
      const uint32_t under = screen.Pixel(x + cx, y + cy);
      const uint32_t mixed = ((under & mask.Pixel(cx, cy)) | colour.Pixel(cx, cy)) & 0xFFFFFF;
      screen.SetPixel(x + cx, y + cy, 0xFF000000u | mixed);
    }
  }
}

}

bool ReviewSheets::WriteAll(const ArtSet &set, const std::vector<SoundArt::Entry> &sounds,
                            const std::string &folder)
{
  return ContactSheet(set, folder + "/contact_sheet.png") && SoundSheet(sounds, folder + "/sounds.png") &&
         TitleScreen(set, folder + "/title_screen.png", false) &&
         TitleScreen(set, folder + "/title_chosen.png", true) &&
         CreationScreen(set, folder + "/creation_screen.png");
}

bool ReviewSheets::ContactSheet(const ArtSet &set, const std::string &path)
{
  const int columns = 7;
  const int cellW = 172;
  const int cellH = 196;
  const int box = 156;
  const int count = static_cast<int>(set.Entries().size());
  const int rows = (count + columns - 1) / columns;
  CairoImage sheet(columns * cellW + 8, rows * cellH + 48, false);
  cairo_t *cr = sheet.Context();
  cairo_set_source_rgb(cr, 0.93, 0.94, 0.97);
  cairo_paint(cr);
  ArtShapes::OutlinedText(cr, "Vextorn art: " + std::to_string(count) + " pictures", sheet.Width() / 2.0,
                          32, 22, ArtColour::FromHex(0x2B2540), 0);
  for(int i = 0; i < count; ++i)
  {
    const ArtSet::Entry &entry = set.Entries()[i];
    const CairoImage &picture = *entry.image;
    const double x0 = 8 + (i % columns) * cellW;
    const double y0 = 48 + (i / columns) * cellH;
    // A checkerboard shows the transparent parts of PNG pictures.
    for(int cy = 0; cy < box; cy += 8)
    {
      for(int cx = 0; cx < box; cx += 8)
      {
        cairo_rectangle(cr, x0 + cx, y0 + cy, 8, 8);
        const bool dark = ((cx + cy) / 8) % 2 == 0;
        cairo_set_source_rgb(cr, dark ? 0.8 : 0.97, dark ? 0.8 : 0.97, dark ? 0.82 : 0.97);
        cairo_fill(cr);
      }
    }
    const double scale = std::min(2.0, static_cast<double>(box) / std::max(picture.Width(), picture.Height()));
    const double w = picture.Width() * scale;
    const double h = picture.Height() * scale;
    cairo_save(cr);
    cairo_translate(cr, x0 + (box - w) / 2, y0 + (box - h) / 2);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, picture.Surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), scale >= 1.0 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_rectangle(cr, x0 + 0.5, y0 + 0.5, box - 1, box - 1);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    char size[32];
    std::snprintf(size, sizeof size, "%d x %d", picture.Width(), picture.Height());
    ArtShapes::OutlinedText(cr, entry.name, x0 + box / 2.0, y0 + box + 15, 11, ArtColour::FromHex(0x2B2540), 0);
    ArtShapes::OutlinedText(cr, size, x0 + box / 2.0, y0 + box + 29, 10, ArtColour::FromHex(0x6A6A80), 0);
  }
  if(!sheet.WritePng(path))
  {
    LogLine("artgen: cannot write " + path);
    return false;
  }
  return true;
}

bool ReviewSheets::TitleScreen(const ArtSet &set, const std::string &path, bool chosen)
{
  CairoImage screen(ArtLayout::ScreenWidth, ArtLayout::ScreenHeight, false);
  cairo_t *cr = screen.Context();
  const double translucent = 98.0 / 255.0;
  Place(cr, Get(set, "title.bmp"), ArtLayout::TitleX, 0);
  // The start button hovered (opaque), the end button not (translucent).
  Place(cr, Get(set, "start_on.bmp"), ArtLayout::StartX, ArtLayout::ButtonY, 1.0);
  Place(cr, Get(set, "end_on.bmp"), ArtLayout::EndX, ArtLayout::ButtonY, translucent);
  if(chosen)
  {
    Place(cr, Get(set, "selected9.png"), ArtLayout::SelectedStartX, ArtLayout::SelectedY);
  }
  Place(cr, Get(set, "cursor_default.png"), 200, 372);
  if(!screen.WritePng(path))
  {
    LogLine("artgen: cannot write " + path);
    return false;
  }
  return true;
}

bool ReviewSheets::CreationScreen(const ArtSet &set, const std::string &path)
{
  CairoImage screen(ArtLayout::ScreenWidth, ArtLayout::ScreenHeight, false);
  cairo_t *cr = screen.Context();
  const double translucent = 98.0 / 255.0;
  const CairoImage &background = Get(set, "background.bmp");
  cairo_save(cr);
  cairo_scale(cr, static_cast<double>(ArtLayout::ScreenWidth) / background.Width(),
              static_cast<double>(ArtLayout::ScreenHeight) / background.Height());
  Place(cr, background, 0, 0);
  cairo_restore(cr);
  cairo_rectangle(cr, ArtLayout::ModelLeft, ArtLayout::ModelTop, ArtLayout::ModelRight - ArtLayout::ModelLeft,
                  ArtLayout::ModelBottom - ArtLayout::ModelTop);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  Place(cr, Get(set, "hand.png"), ArtLayout::ToolX, ArtLayout::HandY, translucent);
  Place(cr, Get(set, "peke.png"), ArtLayout::ToolX, ArtLayout::EraserY, translucent);
  Place(cr, Get(set, "printer.png"), ArtLayout::ToolX, ArtLayout::PrinterY, translucent);
  Place(cr, Get(set, "exit.png"), ArtLayout::ToolX, ArtLayout::ExitY, translucent);
  // Something to take back, nothing to do again.
  Place(cr, Get(set, "undo.png"), ArtLayout::ToolX, ArtLayout::UndoY, translucent);
  Place(cr, Get(set, "redo.png"), ArtLayout::ToolX, ArtLayout::RedoY, 40.0 / 255.0);
  for(const ArtLayout::Colour &c : ArtLayout::Colours)
  {
    const bool selected = std::string(c.word) == "red";
    Place(cr, Get(set, std::string("pen_") + c.word + ".png"), c.penX, ArtLayout::PenY,
          selected ? 1.0 : translucent);
    Place(cr, Get(set, std::string("cube_") + c.word + ".png"), c.cubeX, ArtLayout::CubeY, translucent);
  }
  // The red pen's cursor with its tip at (300, 300).
  PlaceCursor(screen, Get(set, "cursor_pen_red.bmp"), Get(set, "cursor_pen_mask.bmp"), 300 - 1, 300 - 60);
  if(!screen.WritePng(path))
  {
    LogLine("artgen: cannot write " + path);
    return false;
  }
  return true;
}

bool ReviewSheets::SoundSheet(const std::vector<SoundArt::Entry> &sounds, const std::string &path)
{
  // One row per sound: its waveform on a time scale shared by all rows
  // (2.2 seconds across), with its name, length and peak level.
  const int left = 190;
  const int plotWidth = 880;
  const int rowHeight = 70;
  const double secondsAcross = 2.2;
  CairoImage sheet(left + plotWidth + 20, static_cast<int>(sounds.size()) * rowHeight + 40, false);
  cairo_t *cr = sheet.Context();
  cairo_set_source_rgb(cr, 0.97, 0.97, 1.0);
  cairo_paint(cr);
  // Tenths of a second.
  for(int tenth = 0; tenth <= 22; ++tenth)
  {
    const double x = left + tenth * plotWidth / (secondsAcross * 10) + 0.5;
    cairo_move_to(cr, x, 30);
    cairo_line_to(cr, x, sheet.Height() - 6);
  }
  cairo_set_source_rgb(cr, 0.85, 0.86, 0.92);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  for(int second = 0; second <= 2; ++second)
  {
    ArtShapes::OutlinedText(cr, std::to_string(second) + " s", left + second * plotWidth / secondsAcross + 8, 22, 11,
                            ArtColour::FromHex(0x6A6A80), 0);
  }
  for(size_t i = 0; i < sounds.size(); ++i)
  {
    const SoundArt::Entry &sound = sounds[i];
    const double mid = 40 + i * rowHeight + rowHeight / 2.0;
    int peak = 0;
    for(int16_t v : sound.samples)
    {
      peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    char info[64];
    std::snprintf(info, sizeof info, "%.0f ms, peak %.1f dBFS",
                  1000.0 * sound.samples.size() / SoundArt::SampleRate,
                  peak > 0 ? 20.0 * std::log10(peak / 32767.0) : -99.0);
    ArtShapes::OutlinedText(cr, sound.name, 95, mid - 2, 13, ArtColour::FromHex(0x2B2540), 0);
    ArtShapes::OutlinedText(cr, info, 95, mid + 14, 10, ArtColour::FromHex(0x6A6A80), 0);
    // Minimum and maximum of the samples under each column.
    const double samplesPerColumn = secondsAcross * SoundArt::SampleRate / plotWidth;
    for(int column = 0; column < plotWidth; ++column)
    {
      const size_t from = static_cast<size_t>(column * samplesPerColumn);
      const size_t to = std::min(sound.samples.size(), static_cast<size_t>((column + 1) * samplesPerColumn));
      if(from >= to)
      {
        break;
      }
      int low = 0;
      int high = 0;
      for(size_t n = from; n < to; ++n)
      {
        low = std::min(low, static_cast<int>(sound.samples[n]));
        high = std::max(high, static_cast<int>(sound.samples[n]));
      }
      const double scale = (rowHeight / 2.0 - 4) / 32768.0;
      cairo_move_to(cr, left + column + 0.5, mid - high * scale - 0.5);
      cairo_line_to(cr, left + column + 0.5, mid - low * scale + 0.5);
    }
    cairo_set_source_rgb(cr, 0.25, 0.55, 1.0);
    cairo_stroke(cr);
  }
  if(!sheet.WritePng(path))
  {
    LogLine("artgen: cannot write " + path);
    return false;
  }
  return true;
}
