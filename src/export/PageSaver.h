#pragma once

#include "platform/PdfPage.h"

#include <ctime>
#include <string>

class VoxelModel;

// When no printer takes the page: the page goes into a folder as a PDF on the
// locale's paper (PageExporter), with the picture as a PNG and the model as a
// glTF file beside it, all three under one new name
// (vextorn-YYYYMMDD-HHMMSS, then -2, -3, ... while any of the three names is
// taken). Nothing is ever replaced, and on failure nothing is left behind.
class PageSaver {
public:
  // Names tried before giving up.
  static constexpr int MaxAttempts = 100;

  // Saves into `folder` (created when missing) for the local time of `now`.
  // True with the page's path in `pagePath`; false with the reason in
  // `error`. The model file is left out, and the rest still saved, when the
  // model cannot be written.
  static bool Save(const PrintablePicture &picture, const VoxelModel &model, const std::string &folder,
                   std::time_t now, std::string &pagePath, std::string &error);
};
