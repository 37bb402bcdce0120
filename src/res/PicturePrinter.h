#pragma once

#include "base/ScreenLayout.h"
#include "gfx/PixelRect.h"
#include "platform/PdfPage.h"

#include <string>

class DibImage;
class LogGate;
class GraphicsDevice;

// Prints the model the way it is shown: the 506 by 336 model area of the last
// drawn frame is captured from the back buffer, framed by a one-pixel black
// border and saved as a BMP file (pict.bmp in the save folder), then printed
// on the default printer with no dialog, at 90 % of the largest size that
// fits the printable area. Holds only the file's path and the picture of its
// last capture: make one on the stack for each print.
class PicturePrinter {
public:
  static constexpr int pictureWidth = ScreenLayout::ModelWidth;
  static constexpr int pictureHeight = ScreenLayout::ModelHeight;
  // Back-buffer column and row of the captured area's top-left corner.
  static constexpr int captureLeft = ScreenLayout::ModelLeft;
  static constexpr int captureTop = ScreenLayout::ModelTop;
  // Share of the largest fitting size that the printed picture takes.
  static constexpr double fillFactor = 0.9;
  // The picture file's name in the folder it is saved to.
  static constexpr const char *pictureName = "pict.bmp";
  // The print job's name.
  static constexpr const char *documentName = "Quillomar";

  // Saves every capture to `pictureFile`; an empty path saves none.
  // Failures are reported through `gate` when one is given (not owned),
  // else straight to standard error.
  explicit PicturePrinter(std::string pictureFile, LogGate *gate = nullptr);

  // Captures the model area and prints it on the default printer. False when
  // the capture fails, when there is no print server or default printer, when
  // the server does not answer in time, or when the job could not be started
  // or sent; nothing is printed then. The captured picture stays in Picture()
  // either way (empty when the capture failed).
  bool Print(GraphicsDevice &device);
  // Copies the model area of the back buffer into `image` (made by CreateDib
  // with 24 bits per pixel; its size is the size captured), blackens its
  // outermost ring of pixels and saves it to the picture file. A file that cannot
  // be written is reported on standard error and does not fail the capture.
  // False when there is no back buffer or the area does not lie inside it.
  bool Capture(GraphicsDevice &device, DibImage &image);
  // The same picture of the model area, framed, without a file: false when
  // there is no back buffer or the area does not lie inside it.
  static bool CapturePicture(GraphicsDevice &device, PrintablePicture &picture);

  // The picture of the last Print's capture.
  const PrintablePicture &Picture() const { return picture; }

  // Where the picture goes on a printable area of horz by vert printer dots,
  // in dots from the area's top-left corner: scaled by 90 % of the smaller of
  // horz / 506 and vert / 336, each side truncated to whole dots, a quarter of
  // the free width on the left and half of the free height above.
  static PixelRect PlacePicture(int horz, int vert);

  const std::string &PictureFile() const { return pictureFile; }

private:
  void Report(const std::string &line);
  // Copies the width by height area at the capture corner of the back buffer
  // into `pixels` (row 0 at the top, 0x00RRGGBB), its outermost ring black.
  static bool CaptureArea(GraphicsDevice &device, int width, int height, std::vector<uint32_t> &pixels);

private:
  std::string pictureFile;
  PrintablePicture picture;
  LogGate *log = nullptr;
};
