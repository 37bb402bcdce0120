#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Files that are written together or not at all. Each is first written in
// full to a temporary file in its own folder and synced; only when every one
// is on disk do they take their names, and when anything fails, nothing of
// them is left behind: the temporary files are removed, and so are the names
// already taken.
class OutputFiles {
public:
  // Adds a file to write (a copy of the bytes is kept).
  void Add(const std::string &path, const std::vector<uint8_t> &bytes);
  void Add(const std::string &path, const std::string &text);

  // Writes every file and gives each its name, replacing a file of that
  // name. False, with the reason in `error`, when any step fails.
  bool Commit(std::string &error);
  // The same, but no file replaces another: when any of the names is taken
  // (checked as each name is taken, never by looking first), nothing is left
  // behind and `clash` is set. False with `clash` unset for other failures.
  bool CommitNew(std::string &error, bool &clash);

  int Count() const { return static_cast<int>(files.size()); }
  const std::string &Path(int i) const { return files[static_cast<size_t>(i)].path; }

  // The folder a path names a file in: "." for a bare name, "/" for one at
  // the root.
  static std::string FolderOf(const std::string &path);

private:
  struct File {
    std::string path;
    std::vector<uint8_t> bytes;
  };

  bool CommitFiles(bool replace, std::string &error, bool &clash);
  // Writes the file to a new temporary file beside it; its name in `temporary`.
  static bool WriteTemporary(const File &file, std::string &temporary, std::string &error);
  // Gives the temporary file its name without replacing anything: false
  // with errno EEXIST when the name is taken.
  static bool TakeNewName(const std::string &temporary, const std::string &path);

private:
  std::vector<File> files;
};
