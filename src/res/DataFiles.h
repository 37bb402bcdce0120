#pragma once

#include <string>
#include <string_view>

// The folder the toy's pictures and sounds are read from, and the paths of
// the files in it: Path("title.bmp") is "FOLDER/title.bmp". Every loader is
// handed one of these instead of naming a folder itself.
class DataFiles {
public:
  // A folder name with or without a trailing slash; "data" is the
  // repository's own folder, relative to the current directory.
  explicit DataFiles(std::string folder);

  // The path of the named file inside the folder.
  std::string Path(std::string_view name) const;
  // The folder as given, without a trailing slash (but "/" stays "/").
  const std::string &Folder() const { return folder; }

private:
  std::string folder;
};
