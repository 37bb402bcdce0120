#pragma once

#include "gfx/ArgbImage.h"

#include <string>

// Decodes PNG files of any colour type and depth into 8-bit ARGB, keeping the
// alpha channel (opaque where the file has none).
namespace PngReader {
  // False with a reason in `error` when the file is missing, unreadable,
  // larger than 64 MB or damaged (a chunk that claims more bytes than the
  // file holds among them: it is refused before any memory is set aside).
  bool Read(const std::string &path, ArgbImage &image, std::string &error);
}
