#pragma once

#include "gfx/ArgbImage.h"

#include <string>

// Decodes PNG files of any colour type and depth into 8-bit ARGB, keeping the
// alpha channel (opaque where the file has none).
namespace PngReader {
  // False with a reason in `error` when the file is missing, unreadable or damaged.
  bool Read(const std::string &path, ArgbImage &image, std::string &error);
}
