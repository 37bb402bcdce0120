#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture to print: width x height words 0x00RRGGBB, row 0 at the top.
struct PrintablePicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// A rectangle on the page in points (1/72 inch) from the sheet's top-left
// corner, y growing downwards.
struct PageRect {
  double x = 0.0;
  double y = 0.0;
  double width = 0.0;
  double height = 0.0;
};

// One page as a PDF document: a sheet of the given size with the picture
// scaled into a rectangle of it, every picture pixel a sharp block. The same
// page goes to a printer and into a file.
class PdfPage {
public:
  // The document's bytes for a sheet of sheetWidth by sheetLength points with
  // the picture at `place`, titled `title`; empty when the picture is empty or
  // the page cannot be composed.
  static std::vector<uint8_t> Compose(const PrintablePicture &picture, double sheetWidth, double sheetLength,
                                      const PageRect &place, const std::string &title);
};
