#include "res/RgbBitmap.h"

#include "base/Log.h"
#include "res/BmpFormat.h"
#include "res/FileBytes.h"

#include <new>

bool RgbBitmap::LoadRgbFile(const std::string &fileName)
{
  pixels.reset();
  width = 0;
  height = 0;

  std::unique_ptr<uint8_t[]> file;
  size_t size = 0;
  std::string reason;
  BmpHeader header;
  bool ok = FileBytes::Read(fileName, file, size, reason) && BmpFormat::ReadHeader(file.get(), size, header, reason);
  // The pixels are taken as width x rows tightly packed three-byte groups in
  // file order, whatever the file's row padding, row order and bit count.
  const uint64_t count = ok ? static_cast<uint64_t>(header.width) * static_cast<uint64_t>(header.Rows()) : 0;
  if(ok && !BmpFormat::PixelsFit(header, count * 3, size))
  {
    reason = "pixels run past the end of the file";
    ok = false;
  }
  std::unique_ptr<RgbColour[]> array;
  if(ok)
  {
    array.reset(new(std::nothrow) RgbColour[count]);
    if(!array)
    {
      reason = "out of memory";
      ok = false;
    }
  }
  if(!ok)
  {
    LogLine("cannot load bitmap " + fileName + ": " + reason);
    return false;
  }

  const uint8_t *source = file.get() + header.pixelOffset;
  for(uint64_t i = 0; i < count; ++i, source += 3)
  {
    array[i].red = source[2];
    array[i].green = source[1];
    array[i].blue = source[0];
  }
  pixels = std::move(array);
  width = header.width;
  height = header.Rows();
  return true;
}
