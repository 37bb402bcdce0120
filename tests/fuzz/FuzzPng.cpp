// The PNG reader on any bytes, alone and through the texture loader (which
// tells PNG from BMP by the first bytes). A picture that is taken has a size
// and as many pixels as it says.
#include "FuzzCheck.h"
#include "MemoryFile.h"

#include "gfx/ArgbImage.h"
#include "gfx/GraphicsDevice.h"
#include "platform/PngReader.h"
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

  ArgbImage image;
  std::string error;
  if(PngReader::Read(file.Path(), image, error))
    Check(image.width > 0 && image.height > 0 &&
          image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  else
    Check(!error.empty());

  Texture texture;
  if(texture.LoadFromFile(device, file.Path()))
    Check(texture.Get() != nullptr);
  return 0;
}
