#pragma once

#include <string>
#include <vector>

// Finds the folder the toy's pictures and sounds are read from. The places
// are tried in this order, and the first that holds the files wins:
//   1. the folder given with --datadir;
//   2. the folder in the environment variable VEXTORN_DATA_DIR;
//   3. data/ in the current directory (a run from the source tree);
//   4. the installed share/vextorn/ of the program's own prefix, found from
//      the program's path: PREFIX/bin/vextorn reads PREFIX/share/vextorn/,
//      so an installed tree that is moved elsewhere still works.
// A folder holds the files when the first picture and the first sound the
// toy loads (title.bmp and start.wav) are files in it: that tells the right
// folder from a wrong one (a parent folder, a missing or empty one) without
// a second list of every file the widgets name. A folder missing some other
// file is still taken, and loading it reports that file by name.
class DataFolderSearch {
public:
  // The variable the second place is read from.
  static constexpr const char *Variable = "VEXTORN_DATA_DIR";

  // Searches with the --datadir value (empty when not given), the
  // variable's value (empty when unset) and the program's path (empty when
  // unknown). True when a folder was found.
  bool Run(const std::string &option, const std::string &variable, const std::string &executable);
  // Run with the variable read from the environment and the program's own
  // path.
  bool RunForThisProgram(const std::string &option);

  // Whether a folder holds the files (see above).
  static bool HoldsFiles(const std::string &folder);
  // PREFIX/share/vextorn for a program at PREFIX/bin/vextorn; empty when the
  // path has no folder above the program's own.
  static std::string InstalledFolder(const std::string &executable);
  // This program's path, from /proc/self/exe; empty when unknown.
  static std::string OwnExecutable();

  // The folder found by the last Run; empty when none was.
  const std::string &Found() const { return found; }
  // Every folder looked at, in order, each with where it came from.
  const std::vector<std::string> &Tried() const { return tried; }
  // One line naming every folder tried, for when none held the files.
  std::string FailureLine() const;
  // When a folder was found after a folder named by --datadir or the
  // variable was passed over: one line saying so (the user asked for that
  // one). Empty otherwise.
  std::string PassedOverLine() const;

private:
  // Looks at one folder; true (and found set) when it holds the files.
  bool Try(const std::string &folder, const std::string &origin);

private:
  std::string found;
  std::vector<std::string> tried;
  // The folders named by the user that did not hold the files.
  std::vector<std::string> passedOver;
};
