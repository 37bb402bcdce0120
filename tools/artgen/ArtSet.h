#pragma once

#include "CairoImage.h"

#include <memory>
#include <string>
#include <vector>

// Every picture the generator makes, by file name, in the order made. The
// file name's extension decides the format written: ".bmp" (24-bit, through
// the program's BMP writer) or ".png" (with alpha).
class ArtSet {
public:
  struct Entry {
    std::string name;
    std::unique_ptr<CairoImage> image;
  };

  // Adds a picture, replacing none: names must be unique.
  CairoImage &Add(const std::string &name, std::unique_ptr<CairoImage> image);
  // The picture of that name, or null.
  const CairoImage *Find(const std::string &name) const;
  const std::vector<Entry> &Entries() const { return entries; }

  // Writes every picture into the folder; false (with a message) at the
  // first file that cannot be written.
  bool WriteAll(const std::string &folder) const;

private:
  std::vector<Entry> entries;
};
