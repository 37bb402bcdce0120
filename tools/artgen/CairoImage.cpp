#include "CairoImage.h"

#include "res/DibImage.h"

CairoImage::CairoImage(int width, int height, bool withAlpha)
  : width(width), height(height), withAlpha(withAlpha),
    surface(cairo_image_surface_create(withAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                       width, height)),
    context(cairo_create(surface.get()))
{
  // A fresh ARGB32 surface is transparent; an RGB24 one starts black, so the
  // opaque pictures start white instead, the colour of the screen around them.
  if(!withAlpha)
  {
    cairo_set_source_rgb(context.get(), 1.0, 1.0, 1.0);
    cairo_paint(context.get());
  }
}

uint32_t CairoImage::Pixel(int x, int y) const
{
  if(x < 0 || y < 0 || x >= width || y >= height)
  {
    return 0;
  }
  cairo_surface_flush(surface.get());
  const uint8_t *row = cairo_image_surface_get_data(surface.get()) +
                       static_cast<size_t>(y) * cairo_image_surface_get_stride(surface.get());
  uint32_t word = reinterpret_cast<const uint32_t *>(row)[x];
  if(!withAlpha)
  {
    return word | 0xFF000000u;
  }
  uint32_t a = word >> 24;
  if(a == 0)
  {
    return 0;
  }
  auto unpremultiply = [a](uint32_t c) { return (c * 255 + a / 2) / a; };
  uint32_t r = unpremultiply((word >> 16) & 0xFF);
  uint32_t g = unpremultiply((word >> 8) & 0xFF);
  uint32_t b = unpremultiply(word & 0xFF);
  return (a << 24) | (r << 16) | (g << 8) | b;
}

void CairoImage::SetPixel(int x, int y, uint32_t argb)
{
  if(x < 0 || y < 0 || x >= width || y >= height)
  {
    return;
  }
  cairo_surface_flush(surface.get());
  uint8_t *row = cairo_image_surface_get_data(surface.get()) +
                 static_cast<size_t>(y) * cairo_image_surface_get_stride(surface.get());
  uint32_t a = withAlpha ? argb >> 24 : 255;
  auto premultiply = [a](uint32_t c) { return (c * a + 127) / 255; };
  uint32_t r = premultiply((argb >> 16) & 0xFF);
  uint32_t g = premultiply((argb >> 8) & 0xFF);
  uint32_t b = premultiply(argb & 0xFF);
  reinterpret_cast<uint32_t *>(row)[x] = (a << 24) | (r << 16) | (g << 8) | b;
  cairo_surface_mark_dirty(surface.get());
}

void CairoImage::CopyFrom(const CairoImage &source, int sx, int sy, int w, int h, int dx, int dy)
{
  for(int y = 0; y < h; ++y)
  {
    for(int x = 0; x < w; ++x)
    {
      SetPixel(dx + x, dy + y, source.Pixel(sx + x, sy + y));
    }
  }
}

bool CairoImage::WritePng(const std::string &path) const
{
  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool CairoImage::WriteBmp(const std::string &path) const
{
  DibImage dib;
  if(!dib.CreateDib(width, height, 24))
  {
    return false;
  }
  DrawingContext &dc = dib.MemoryDc();
  for(int y = 0; y < height; ++y)
  {
    for(int x = 0; x < width; ++x)
    {
      dc.SetPixel(x, y, Pixel(x, y) & 0xFFFFFFu);
    }
  }
  return dib.SaveBmp(path);
}
