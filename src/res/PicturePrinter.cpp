#include "res/PicturePrinter.h"

#include "base/Log.h"
#include "base/LogGate.h"
#include "gfx/GraphicsDevice.h"
#include "platform/PrintService.h"
#include "res/DibImage.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

PicturePrinter::PicturePrinter(std::string file, LogGate *gate)
  : pictureFile(std::move(file)), log(gate)
{
}

void PicturePrinter::Report(const std::string &line)
{
  if(log)
    log->Write(line);
  else
    LogLine(line);
}

bool PicturePrinter::Print(GraphicsDevice &device)
{
  picture = PrintablePicture();
  DibImage image;
  if(!image.CreateDib(pictureWidth, pictureHeight, 24) || !Capture(device, image))
  {
    Report("printing: the picture could not be captured");
    return false;
  }

  picture.width = image.Width();
  picture.height = image.Height();
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  DrawingContext &dc = image.MemoryDc();
  for(int y = 0; y < picture.height; ++y)
  {
    for(int x = 0; x < picture.width; ++x)
      picture.pixels[static_cast<size_t>(y) * picture.width + x] = dc.GetPixel(x, y);
  }

  PrintService service(log);
  if(!service.OpenDefault())
    return false;
  PixelRect place = PlacePicture(service.Page().HorzDots(), service.Page().VertDots());
  return service.PrintPicture(picture, place, documentName);
}

bool PicturePrinter::Capture(GraphicsDevice &device, DibImage &image)
{
  const int width = image.Width();
  const int height = image.Height();
  std::vector<uint32_t> pixels;
  if(image.FromFile() || !CaptureArea(device, width, height, pixels))
    return false;
  DrawingContext &dc = image.MemoryDc();
  for(int i = 0; i < height; ++i)
    for(int j = 0; j < width; ++j)
      dc.SetPixel(j, i, pixels[static_cast<size_t>(i) * width + j]);
  std::string reason;
  if(!pictureFile.empty() && !image.SaveBmp(pictureFile, reason))
    Report("printing: " + reason);
  return true;
}

bool PicturePrinter::CapturePicture(GraphicsDevice &device, PrintablePicture &captured)
{
  std::vector<uint32_t> pixels;
  if(!CaptureArea(device, pictureWidth, pictureHeight, pixels))
    return false;
  captured.width = pictureWidth;
  captured.height = pictureHeight;
  captured.pixels = std::move(pixels);
  return true;
}

bool PicturePrinter::CaptureArea(GraphicsDevice &device, int width, int height, std::vector<uint32_t> &pixels)
{
  Surface *backBuffer = device.BackBuffer();
  if(!backBuffer)
    return false;
  if(width <= 0 || height <= 0 || captureLeft + width > backBuffer->Width() ||
     captureTop + height > backBuffer->Height())
  {
    LogLine("printing: the picture does not fit the back buffer");
    return false;
  }
  int pitch = 0;
  const uint32_t *rows = backBuffer->LockRect(pitch);
  if(!rows)
    return false;
  pixels.assign(static_cast<size_t>(width) * height, 0u);
  for(int i = 0; i < height; ++i)
  {
    const uint32_t *row = rows + static_cast<ptrdiff_t>(captureTop + i) * pitch + captureLeft;
    for(int j = 0; j < width; ++j)
    {
      const bool frame = j == 0 || j == width - 1 || i == 0 || i == height - 1;
      pixels[static_cast<size_t>(i) * width + j] = frame ? 0u : row[j] & 0xFFFFFFu;
    }
  }
  backBuffer->UnlockRect();
  return true;
}

PixelRect PicturePrinter::PlacePicture(int horz, int vert)
{
  double scale = std::min(static_cast<double>(horz) / pictureWidth, static_cast<double>(vert) / pictureHeight) *
                 fillFactor;
  int printWidth = static_cast<int>(pictureWidth * scale);
  int printHeight = static_cast<int>(pictureHeight * scale);
  PixelRect place;
  place.left = (horz - printWidth) / 4;
  place.top = (vert - printHeight) / 2;
  place.right = place.left + printWidth;
  place.bottom = place.top + printHeight;
  return place;
}
