#pragma once

#include "gfx/ArgbImage.h"

#include <string>

// Writes 8-bit RGBA PNG files.
namespace PngWriter {
  // Writes the image (alpha kept) to `path` by way of a temporary file in the
  // same folder that replaces `path` only when everything was written. False
  // with a reason in `error` when the image is empty or the file cannot be
  // written; no partial file is left behind.
  bool Write(const std::string &path, const ArgbImage &image, std::string &error);
}
