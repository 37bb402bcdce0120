#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

// One picture being drawn with cairo: an image surface and its drawing
// context. Opaque pictures (written as 24-bit BMP) use cairo's RGB24 format,
// pictures with alpha (written as PNG) its ARGB32 format.
class CairoImage {
public:
  CairoImage(int width, int height, bool withAlpha);
  CairoImage(const CairoImage &) = delete;
  CairoImage &operator=(const CairoImage &) = delete;
  ~CairoImage() = default;

  cairo_t *Context() const { return context.get(); }
  cairo_surface_t *Surface() const { return surface.get(); }
  int Width() const { return width; }
  int Height() const { return height; }
  bool HasAlpha() const { return withAlpha; }

  // The pixel as 0xAARRGGBB with straight (not premultiplied) colour; 0 outside.
  uint32_t Pixel(int x, int y) const;
  // Sets a pixel from 0xAARRGGBB straight colour (alpha forced to 255 when the
  // picture is opaque).
  void SetPixel(int x, int y, uint32_t argb);
  // Copies the rectangle (sx, sy, w, h) of another picture to (dx, dy) unchanged.
  void CopyFrom(const CairoImage &source, int sx, int sy, int w, int h, int dx, int dy);

  // Writes the picture as PNG (with alpha when it has alpha). False on failure.
  bool WritePng(const std::string &path) const;
  // Writes the picture as a 24-bit BMP through the program's own BMP writer.
  bool WriteBmp(const std::string &path) const;

private:
  struct SurfaceDeleter {
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
  };
  struct ContextDeleter {
    void operator()(cairo_t *c) const { cairo_destroy(c); }
  };

  int width = 0;
  int height = 0;
  bool withAlpha = false;
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface;
  std::unique_ptr<cairo_t, ContextDeleter> context;
};
