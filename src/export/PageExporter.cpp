#include "export/PageExporter.h"

#include "res/PicturePrinter.h"

PageRect PageExporter::PictureBox(PaperSize::Kind paper)
{
  const PrintPage page = PaperSize::Page(paper);
  return PrintService::DotsToPoints(page, PicturePrinter::PlacePicture(page.HorzDots(), page.VertDots()));
}

std::vector<uint8_t> PageExporter::Compose(const PrintablePicture &picture, PaperSize::Kind paper)
{
  const PrintPage page = PaperSize::Page(paper);
  return PdfPage::Compose(picture, PrintService::PointsFromHundredthsOfMillimetre(page.mediaWidth),
                          PrintService::PointsFromHundredthsOfMillimetre(page.mediaLength), PictureBox(paper),
                          PicturePrinter::documentName);
}
