#pragma once

#include "export/PaperSize.h"
#include "platform/PdfPage.h"

#include <cstdint>
#include <vector>

// The page the printer button prints, as a PDF document for a sheet of paper
// instead of a printer: the whole sheet counts as printable, and the picture
// is scaled and placed by the printing rules (PicturePrinter::PlacePicture)
// in dots of PaperSize::LayoutDpi.
class PageExporter {
public:
  // Where the picture lies on the sheet, in points from its top-left corner.
  static PageRect PictureBox(PaperSize::Kind paper);
  // The document; empty when the picture is empty or cairo fails.
  static std::vector<uint8_t> Compose(const PrintablePicture &picture, PaperSize::Kind paper);
};
