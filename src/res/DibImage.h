#pragma once

#include "gfx/ArgbImage.h"
#include "gfx/BitmapSource.h"
#include "gfx/DrawingContext.h"

#include <cstdint>
#include <memory>
#include <string>

// A bitmap of one of three kinds:
// - read: a whole BMP file in memory (LoadBmp), drawn onto a DrawingContext
//   through Bits();
// - created (CreateDib): a bottom-up DIB section of 16, 24 or 32 bits per pixel
//   that a DrawingContext (MemoryDc) draws into and SaveBmp writes out, plus a
//   separate CPU-side byte image (Data) of width x height RgbColour, which a
//   Texture uploads from. Drawing changes the DIB section, not the byte image.
// - a byte image alone (CreateByteImage), behind a face texture: no DIB
//   section, so Bits() is empty and SaveBmp refuses it.
class DibImage {
public:
  DibImage() = default;
  DibImage(const DibImage &) = delete;
  DibImage &operator=(const DibImage &) = delete;
  ~DibImage() = default;

  // Makes a zeroed DIB section (rows padded to four bytes) and a zeroed byte
  // image of width x height x 3 bytes (x 2 at 16 bits per pixel). False, with
  // a log line, for an empty, negative or oversized size or a bit count other
  // than 16, 24 or 32.
  bool CreateDib(int width, int height, int bitsPerPixel);
  // Makes only the byte image, width x height x 3 bytes, with no DIB section
  // (nothing draws on it) and its bytes left unset: for a picture whose every
  // byte is about to be written, such as a face texture read from a file.
  // False, with a log line, for an empty, negative or oversized size.
  bool CreateByteImage(int width, int height);
  // Reads a whole BMP file. Only the first magic byte is compared. Refuses
  // (false, one log line, the image unchanged) a file that does not start
  // with 'B', has fewer than 16 or more than 32 bits per pixel, has a short or
  // damaged header (zero, negative or oversized width, zero or oversized
  // height), or whose padded pixel rows do not lie inside it.
  bool LoadBmp(const std::string &fileName);
  // LoadBmp that gives the reason for a refusal to the caller instead of
  // writing it to the log.
  bool LoadBmp(const std::string &fileName, std::string &reason);
  // Writes the DIB section of a created 24-bit image as a bottom-up BMP file
  // (54-byte header, rows as the section holds them). False, with a log line,
  // for any other image and when the file cannot be created or any byte
  // could not be written (the file may then be incomplete).
  bool SaveBmp(const std::string &fileName) const;
  // SaveBmp that gives the reason for a failure to the caller instead of
  // writing it to the log.
  bool SaveBmp(const std::string &fileName, std::string &reason) const;

  bool FromFile() const { return fromFile; }
  int Width() const { return width; }
  int Height() const { return height; }

  // Created image: the byte image, width x height x 3 bytes (red first).
  // Read image: the whole file. Where the bytes are shared (SharedData), the
  // writable pointer is to a copy of them made first, so that the sharers
  // keep what they have; null when there is no memory for that copy.
  uint8_t *Data();
  const uint8_t *Data() const { return data.get(); }
  // The bytes as they are now, shared rather than copied: they stay so, and
  // may be read on any thread, however the image is written afterwards.
  std::shared_ptr<const uint8_t[]> SharedData() const { return data; }
  // The pixels as a drawable bitmap: the file's pixel array, or the DIB section.
  BitmapSource Bits() const;
  // The pixels in order, top row first, as opaque 0xFFRRGGBB words, whichever
  // way up the file stores them and however its rows are padded: the colours
  // DrawingContext::DrawBitmap draws. False when there are no pixels or they
  // have a bit count other than 16, 24 or 32, which it does not draw.
  bool Decode(ArgbImage &image) const;
  // Created image only: a drawing context over the DIB section.
  DrawingContext &MemoryDc() { return memoryDc; }

  // Byte offset of the last pixel callers wrote into Data().
  int32_t lastIndex = 0;

private:
  // True when an image of the size may be created; a line on standard error when not.
  static bool CreatedSizeAllowed(int width, int height);

  bool fromFile = false;
  std::shared_ptr<uint8_t[]> data;
  size_t dataSize = 0;
  // Read image: offset of the pixel array inside data; bit count and height
  // as the file's header gives them (height negative for top-down files).
  size_t filePixelsOffset = 0;
  int fileBitCount = 0;
  int fileHeight = 0;
  // Created image: the DIB section's memory (bottom row first, rows padded).
  std::unique_ptr<uint8_t[]> dibBits;
  int dibBitCount = 0;
  int width = 0;
  int height = 0;
  DrawingContext memoryDc;
};
