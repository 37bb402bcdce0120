#include "res/Texture.h"

#include "base/Log.h"
#include "gfx/ArgbImage.h"
#include "gfx/GraphicsDevice.h"
#include "platform/PngReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
  // Decodes a BMP file with the program's own reader into opaque ARGB words.
  bool DecodeBmp(const std::string &fileName, ArgbImage &image, std::string &error)
  {
    DibImage bitmap;
    if(!bitmap.LoadBmp(fileName, error))
      return false;
    const int bitCount = bitmap.Bits().bitCount;
    if(bitCount != 16 && bitCount != 24 && bitCount != 32)
    {
      error = std::to_string(bitCount) + "-bit BMP pictures are not supported";
      return false;
    }
    if(!bitmap.Decode(image))
    {
      error = "the BMP picture holds no pixels";
      return false;
    }
    return true;
  }

  // Tells a PNG file from a BMP file by their first bytes.
  enum class PictureKind { Png, Bmp, Unknown };

  PictureKind Identify(const std::string &fileName, std::string &error)
  {
    std::FILE *file = std::fopen(fileName.c_str(), "rb");
    if(!file)
    {
      error = std::string("cannot open: ") + std::strerror(errno);
      return PictureKind::Unknown;
    }
    uint8_t start[8] = {};
    const size_t got = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    static const uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if(got == sizeof start && std::memcmp(start, pngSignature, sizeof start) == 0)
      return PictureKind::Png;
    if(got >= 1 && start[0] == 'B')
      return PictureKind::Bmp;
    error = "not a PNG or BMP picture";
    return PictureKind::Unknown;
  }
}

bool Texture::LoadFromFile(GraphicsDevice &device, const std::string &name)
{
  if(name.size() > MaxFileName)
  {
    LogLine("cannot load texture: file name of " + std::to_string(name.size()) + " characters is longer than " +
            std::to_string(MaxFileName) + " (" + name.substr(0, 40) + "...)");
    return false;
  }
  std::string error;
  ArgbImage image;
  bool ok = false;
  switch(Identify(name, error))
  {
  case PictureKind::Png:
    ok = PngReader::Read(name, image, error);
    break;
  case PictureKind::Bmp:
    ok = DecodeBmp(name, image, error);
    break;
  case PictureKind::Unknown:
    break;
  }
  if(!ok)
  {
    LogLine("cannot load texture " + name + ": " + error);
    return false;
  }
  std::unique_ptr<DeviceTexture> created = device.CreateTexture(image.width, image.height, image.pixels.data());
  if(!created)
  {
    LogLine("cannot load texture " + name + ": the graphics device could not make a " +
            std::to_string(image.width) + " x " + std::to_string(image.height) + " texture");
    return false;
  }
  texture = std::move(created);
  fileName = name;
  return true;
}

bool Texture::CreateWhite(GraphicsDevice &device, int width, int height)
{
  return CreateFilled(device, width, height, RgbColour{255, 255, 255});
}

bool Texture::CreateFilled(GraphicsDevice &device, int newWidth, int newHeight, const RgbColour &colour)
{
  std::unique_ptr<DeviceTexture> created = device.CreateTexture(newWidth, newHeight);
  if(!created)
  {
    LogLine("cannot create a " + std::to_string(newWidth) + " x " + std::to_string(newHeight) + " texture");
    return false;
  }
  auto image = std::make_unique<DibImage>();
  if(!image->CreateDib(newWidth, newHeight, 24))
    return false;

  uint8_t *bytes = image->Data();
  const size_t count = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight);
  for(size_t i = 0; i < count; ++i)
  {
    bytes[i * 3] = colour.red;
    bytes[i * 3 + 1] = colour.green;
    bytes[i * 3 + 2] = colour.blue;
  }
  image->lastIndex = static_cast<int32_t>((count - 1) * 3);

  texture = std::move(created);
  backing = std::move(image);
  textureWidth = newWidth;
  textureHeight = newHeight;
  return Upload(device, 0, 0, newWidth, newHeight);
}

bool Texture::CreateFace(GraphicsDevice &device, int size, int kept, const RgbColour &colour)
{
  Texture made;
  if(!made.CreateBlankFace(device, size, kept))
    return false;
  uint8_t *bytes = made.backing->Data();
  const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
  for(size_t i = 0; i < count; ++i)
  {
    bytes[i * 3] = colour.red;
    bytes[i * 3 + 1] = colour.green;
    bytes[i * 3 + 2] = colour.blue;
  }
  if(!made.Upload(device, 0, 0, size, size))
    return false;
  texture = std::move(made.texture);
  backing = std::move(made.backing);
  textureWidth = size;
  textureHeight = size;
  return true;
}

bool Texture::CreateBlankFace(GraphicsDevice &device, int size, int kept)
{
  std::unique_ptr<DeviceTexture> created = device.CreateLayerTexture(size, kept);
  if(!created)
  {
    LogLine("cannot create a " + std::to_string(size) + " x " + std::to_string(size) + " face texture keeping " +
            std::to_string(kept) + " texels");
    return false;
  }
  auto image = std::make_unique<DibImage>();
  if(!image->CreateByteImage(size, size))
    return false;
  image->lastIndex = static_cast<int32_t>((static_cast<size_t>(size) * static_cast<size_t>(size) - 1) * 3);
  texture = std::move(created);
  backing = std::move(image);
  textureWidth = size;
  textureHeight = size;
  return true;
}

bool Texture::SwapBacking(std::unique_ptr<DibImage> &image)
{
  if(!backing || !image || image->FromFile() || !image->Data() || image->Width() != backing->Width() ||
     image->Height() != backing->Height())
    return false;
  backing.swap(image);
  return true;
}

bool Texture::Upload(GraphicsDevice &, int x, int y, int w, int h)
{
  if(!texture || !backing || backing->FromFile())
    return false;
  // Both corners are kept inside the texture, the byte image and the picture
  // size the owner set, whichever is smallest.
  const long long limitX = std::min({textureWidth, texture->Width(), backing->Width()});
  const long long limitY = std::min({textureHeight, texture->Height(), backing->Height()});
  const long long x0 = std::clamp<long long>(x, 0, std::max(0LL, limitX));
  const long long y0 = std::clamp<long long>(y, 0, std::max(0LL, limitY));
  const long long x1 = std::clamp<long long>(static_cast<long long>(x) + w, x0, std::max(x0, limitX));
  const long long y1 = std::clamp<long long>(static_cast<long long>(y) + h, y0, std::max(y0, limitY));
  const int columns = static_cast<int>(x1 - x0);
  const int rows = static_cast<int>(y1 - y0);
  if(columns == 0 || rows == 0)
    return true;

  const size_t stride = static_cast<size_t>(backing->Width()) * 3;
  const uint8_t *first = backing->Data() + static_cast<size_t>(y0) * stride + static_cast<size_t>(x0) * 3;
  return texture->WriteRgb(static_cast<int>(x0), static_cast<int>(y0), columns, rows, first, stride);
}
