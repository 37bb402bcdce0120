// The BMP readers on any bytes: DibImage::LoadBmp with the decoding that
// drawing uses, the texture loader's BMP path (which also tells PNG from BMP
// by the first bytes), and RgbBitmap::LoadRgbFile. A picture that is taken
// must describe itself consistently.
#include "FuzzCheck.h"
#include "MemoryFile.h"

#include "gfx/ArgbImage.h"
#include "gfx/GraphicsDevice.h"
#include "res/DibImage.h"
#include "res/RgbBitmap.h"
#include "res/Texture.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static MemoryFile file;
  static GraphicsDevice device;
  static const bool created = device.CreateHeadless(64, 64);
  Check(created);
  if(!file.Write(data, size))
    return 0;

  DibImage image;
  std::string reason;
  if(image.LoadBmp(file.Path(), reason))
  {
    Check(image.FromFile() && image.Width() > 0 && image.Height() != 0);
    ArgbImage decoded;
    if(image.Decode(decoded))
      Check(decoded.width == image.Width() && decoded.pixels.size() == static_cast<size_t>(decoded.width) * decoded.height);
  }
  else
    Check(!reason.empty() && reason.find('\n') == std::string::npos);

  Texture texture;
  if(texture.LoadFromFile(device, file.Path()))
    Check(texture.Get() != nullptr);

  RgbBitmap bitmap;
  if(bitmap.LoadRgbFile(file.Path()))
    Check(bitmap.Width() > 0 && bitmap.Height() > 0);
  return 0;
}
