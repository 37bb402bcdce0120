#include "res/DibImage.h"

#include "base/Log.h"
#include "res/BmpFormat.h"
#include "res/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace {
  // Largest created image, in pixels (a 8192 x 8192 picture).
  constexpr long long MaxCreatedPixels = 1LL << 26;

  struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
  };

  PixelFormat FormatForBits(int bitsPerPixel)
  {
    switch(bitsPerPixel)
    {
    case 16:
      return PixelFormat::Rgb555;
    case 32:
      return PixelFormat::Xrgb32;
    default:
      return PixelFormat::Bgr24;
    }
  }
}

namespace {
  std::string SizeText(int width, int height)
  {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
  }
}

bool DibImage::CreatedSizeAllowed(int newWidth, int newHeight)
{
  if(newWidth <= 0 || newHeight <= 0 || newWidth > BmpFormat::MaxDimension || newHeight > BmpFormat::MaxDimension ||
     static_cast<long long>(newWidth) * newHeight > MaxCreatedPixels)
  {
    LogLine("cannot create an image of " + SizeText(newWidth, newHeight));
    return false;
  }
  return true;
}

bool DibImage::CreateDib(int newWidth, int newHeight, int bitsPerPixel)
{
  if(!CreatedSizeAllowed(newWidth, newHeight))
    return false;
  if(bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
  {
    LogLine("cannot create an image of " + std::to_string(bitsPerPixel) + " bits per pixel");
    return false;
  }
  const size_t pixels = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight);
  const size_t byteImageSize = pixels * (bitsPerPixel == 16 ? 2 : 3);
  const size_t rowBytes = static_cast<size_t>(BmpFormat::PaddedRowBytes(newWidth, bitsPerPixel));
  const size_t sectionSize = rowBytes * static_cast<size_t>(newHeight);

  std::unique_ptr<uint8_t[]> newData(new(std::nothrow) uint8_t[byteImageSize]());
  std::unique_ptr<uint8_t[]> newBits(new(std::nothrow) uint8_t[sectionSize]());
  if(!newData || !newBits)
  {
    LogLine("out of memory for an image of " + SizeText(newWidth, newHeight));
    return false;
  }

  fromFile = false;
  data = std::move(newData);
  dataSize = byteImageSize;
  filePixelsOffset = 0;
  fileBitCount = 0;
  fileHeight = 0;
  dibBits = std::move(newBits);
  dibBitCount = bitsPerPixel;
  width = newWidth;
  height = newHeight;
  lastIndex = 0;

  // The section is stored bottom row first, so the top row is the last one
  // in memory and the rows go downwards with a negative pitch.
  PixelView view;
  view.bits = dibBits.get() + (static_cast<size_t>(height) - 1) * rowBytes;
  view.width = width;
  view.height = height;
  view.pitch = -static_cast<std::ptrdiff_t>(rowBytes);
  view.format = FormatForBits(bitsPerPixel);
  memoryDc = DrawingContext(view);
  return true;
}

bool DibImage::CreateByteImage(int newWidth, int newHeight)
{
  if(!CreatedSizeAllowed(newWidth, newHeight))
    return false;
  const size_t byteImageSize = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight) * 3;
  // Not value-initialised: the caller writes every byte.
  std::unique_ptr<uint8_t[]> newData(new(std::nothrow) uint8_t[byteImageSize]);
  if(!newData)
  {
    LogLine("out of memory for an image of " + SizeText(newWidth, newHeight));
    return false;
  }

  fromFile = false;
  data = std::move(newData);
  dataSize = byteImageSize;
  filePixelsOffset = 0;
  fileBitCount = 0;
  fileHeight = 0;
  dibBits.reset();
  dibBitCount = 0;
  width = newWidth;
  height = newHeight;
  lastIndex = 0;
  memoryDc = DrawingContext();
  return true;
}

bool DibImage::LoadBmp(const std::string &fileName)
{
  std::string reason;
  if(LoadBmp(fileName, reason))
    return true;
  LogLine("cannot load bitmap " + fileName + ": " + reason);
  return false;
}

bool DibImage::LoadBmp(const std::string &fileName, std::string &reason)
{
  std::unique_ptr<uint8_t[]> file;
  size_t size = 0;
  BmpHeader header;
  bool ok = FileBytes::Read(fileName, file, size, reason) && BmpFormat::ReadHeader(file.get(), size, header, reason);
  if(ok)
  {
    const uint64_t rowsBytes = BmpFormat::PaddedRowBytes(header.width, header.bitCount) *
                               static_cast<uint64_t>(header.Rows());
    if(!BmpFormat::PixelsFit(header, rowsBytes, size))
    {
      reason = "pixel rows (" + std::to_string(rowsBytes) + " bytes from offset " +
               std::to_string(header.pixelOffset) + ") run past the end of the file (" + std::to_string(size) +
               " bytes)";
      ok = false;
    }
  }
  if(!ok)
    return false;

  fromFile = true;
  data = std::move(file);
  dataSize = size;
  filePixelsOffset = header.pixelOffset;
  fileBitCount = header.bitCount;
  fileHeight = header.height;
  dibBits.reset();
  dibBitCount = 0;
  width = header.width;
  height = header.height;
  lastIndex = 0;
  memoryDc = DrawingContext();
  return true;
}

bool DibImage::SaveBmp(const std::string &fileName) const
{
  std::string reason;
  if(SaveBmp(fileName, reason))
    return true;
  LogLine(reason);
  return false;
}

bool DibImage::SaveBmp(const std::string &fileName, std::string &reason) const
{
  if(fromFile || !dibBits || dibBitCount != 24)
  {
    reason = "cannot save " + fileName + ": only a created 24-bit image can be saved";
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(BmpFormat::PaddedRowBytes(width, 24));
  const size_t imageBytes = rowBytes * static_cast<size_t>(height);
  const size_t total = BmpFormat::HeaderBytes + imageBytes;
  std::unique_ptr<uint8_t[]> buffer(new(std::nothrow) uint8_t[total]);
  if(!buffer)
  {
    reason = "cannot save " + fileName + ": out of memory";
    return false;
  }
  BmpFormat::WriteHeader24(buffer.get(), width, height, static_cast<uint32_t>(imageBytes));
  std::memcpy(buffer.get() + BmpFormat::HeaderBytes, dibBits.get(), imageBytes);

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
  if(!file)
  {
    reason = "cannot create " + fileName + ": " + std::strerror(errno);
    return false;
  }
  const size_t written = std::fwrite(buffer.get(), 1, total, file.get());
  // Buffered bytes reach the file only when it is closed: a full disk may
  // show itself only there.
  const bool closed = std::fclose(file.release()) == 0;
  if(written != total || !closed)
  {
    reason = "cannot write " + fileName + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

uint8_t *DibImage::Data()
{
  // Only this thread adds sharers, so a count of one is never out of date;
  // one that another thread is just dropping costs at most a copy too many.
  if(data && data.use_count() > 1)
  {
    std::shared_ptr<uint8_t[]> own(new(std::nothrow) uint8_t[dataSize]);
    if(!own)
    {
      LogLine("out of memory for a copy of an image of " + SizeText(width, height));
      return nullptr;
    }
    std::memcpy(own.get(), data.get(), dataSize);
    data = std::move(own);
  }
  return data.get();
}

BitmapSource DibImage::Bits() const
{
  BitmapSource source;
  if(fromFile && data)
  {
    source.bits = data.get() + filePixelsOffset;
    source.width = width;
    source.height = fileHeight;
    source.bitCount = fileBitCount;
  }
  else if(dibBits)
  {
    source.bits = dibBits.get();
    source.width = width;
    source.height = height;
    source.bitCount = dibBitCount;
  }
  return source;
}

bool DibImage::Decode(ArgbImage &image) const
{
  const BitmapSource source = Bits();
  if(!source.bits || source.width <= 0 || source.Rows() <= 0)
    return false;
  if(source.bitCount != 16 && source.bitCount != 24 && source.bitCount != 32)
    return false;
  ArgbImage decoded;
  decoded.width = source.width;
  decoded.height = source.Rows();
  decoded.pixels.assign(static_cast<size_t>(decoded.width) * decoded.height, 0);
  PixelView view;
  view.bits = reinterpret_cast<uint8_t *>(decoded.pixels.data());
  view.width = decoded.width;
  view.height = decoded.height;
  view.pitch = static_cast<std::ptrdiff_t>(decoded.width) * 4;
  view.format = PixelFormat::Xrgb32;
  DrawingContext(view).DrawBitmap(0, 0, source, RasterOperation::Copy);
  for(uint32_t &pixel : decoded.pixels)
    pixel |= 0xFF000000;
  image = std::move(decoded);
  return true;
}
