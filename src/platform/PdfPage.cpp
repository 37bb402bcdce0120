#include "platform/PdfPage.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstring>
#include <memory>

namespace {
  struct CairoSurfaceFreer {
    void operator()(cairo_surface_t *surface) const { cairo_surface_destroy(surface); }
  };
  struct CairoFreer {
    void operator()(cairo_t *cairo) const { cairo_destroy(cairo); }
  };
  using SurfaceHandle = std::unique_ptr<cairo_surface_t, CairoSurfaceFreer>;
  using CairoHandle = std::unique_ptr<cairo_t, CairoFreer>;

  cairo_status_t AppendToBuffer(void *closure, const unsigned char *data, unsigned int length)
  {
    auto *buffer = static_cast<std::vector<uint8_t> *>(closure);
    buffer->insert(buffer->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  }
}

std::vector<uint8_t> PdfPage::Compose(const PrintablePicture &picture, double sheetWidth, double sheetLength,
                                      const PageRect &place, const std::string &title)
{
  std::vector<uint8_t> pdf;
  if(picture.width <= 0 || picture.height <= 0 ||
     picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height || sheetWidth <= 0.0 ||
     sheetLength <= 0.0 || place.width <= 0.0 || place.height <= 0.0)
    return pdf;
  SurfaceHandle image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height));
  if(cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
    return pdf;
  cairo_surface_flush(image.get());
  unsigned char *bits = cairo_image_surface_get_data(image.get());
  int stride = cairo_image_surface_get_stride(image.get());
  // RGB24 pixels are native 32-bit words 0x00RRGGBB, the picture's own layout.
  for(int y = 0; y < picture.height; ++y)
    std::memcpy(bits + static_cast<size_t>(y) * stride, &picture.pixels[static_cast<size_t>(y) * picture.width],
                static_cast<size_t>(picture.width) * 4);
  cairo_surface_mark_dirty(image.get());

  SurfaceHandle document(cairo_pdf_surface_create_for_stream(AppendToBuffer, &pdf, sheetWidth, sheetLength));
  if(cairo_surface_status(document.get()) != CAIRO_STATUS_SUCCESS)
    return {};
  cairo_pdf_surface_set_metadata(document.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
  {
    CairoHandle cr(cairo_create(document.get()));
    cairo_translate(cr.get(), place.x, place.y);
    cairo_scale(cr.get(), place.width / picture.width, place.height / picture.height);
    cairo_set_source_surface(cr.get(), image.get(), 0.0, 0.0);
    // Every picture pixel becomes one sharp block on paper.
    cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_NEAREST);
    cairo_paint(cr.get());
    cairo_show_page(cr.get());
    if(cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
      return {};
  }
  cairo_surface_finish(document.get());
  if(cairo_surface_status(document.get()) != CAIRO_STATUS_SUCCESS)
    return {};
  return pdf;
}
