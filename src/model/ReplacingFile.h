#pragma once

#include <cstdio>
#include <memory>
#include <string>

// Writes a file safely: everything goes to a new temporary file in the same
// folder, which replaces the file at `path` (by rename) only when every write
// succeeded and the data reached the disk. Until Commit succeeds the old file
// is untouched; a ReplacingFile destroyed without a successful Commit removes
// its temporary file.
class ReplacingFile {
public:
  ReplacingFile() = default;
  ReplacingFile(const ReplacingFile &) = delete;
  ReplacingFile &operator=(const ReplacingFile &) = delete;
  ~ReplacingFile();

  // Creates the temporary file "<path>.XXXXXX". False when it cannot be created.
  bool Open(const std::string &path);
  // The temporary file to write to; null when not open.
  std::FILE *File() const { return file.get(); }
  // Flushes, syncs and closes the temporary file and renames it over `path`.
  // False (temporary file removed, old file kept) when any step fails.
  bool Commit();
  // Closes and removes the temporary file, if any.
  void Discard();

private:
  struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
  };

  std::unique_ptr<std::FILE, FileCloser> file;
  std::string targetPath;
  std::string tempPath;
};
