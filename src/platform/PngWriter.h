#pragma once

#include "gfx/ArgbImage.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGBA PNG files, and encodes opaque pictures as 8-bit RGB PNG
// bytes.
namespace PngWriter {
  // Writes the image (alpha kept) to `path` by way of a temporary file in the
  // same folder that replaces `path` only when everything was written. False
  // with a reason in `error` when the image is empty or the file cannot be
  // written; no partial file is left behind.
  bool Write(const std::string &path, const ArgbImage &image, std::string &error);
  // The image as the bytes of an RGB PNG file (alpha dropped: the picture is
  // taken as opaque). False with a reason in `error` when the image is empty
  // or cannot be encoded.
  bool EncodeOpaque(const ArgbImage &image, std::vector<uint8_t> &png, std::string &error);
}
