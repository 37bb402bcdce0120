#pragma once

#include <string>
#include <string_view>

// The folder the toy writes into: the model file that F7 and F8 load and
// save, the picture every print captures, and the autosave. It is made only
// when the toy first writes there, never at start-up.
class SaveFolder {
public:
  // The folder under $XDG_DATA_HOME (or ~/.local/share) that the toy owns.
  static constexpr const char *OwnFolderName = "vextorn";
  // The model file that F8 saves and F7 loads, in the folder.
  static constexpr const char *ModelFileName = "demo.data";

  // The folder of that name; an empty name stands for "no folder could be
  // chosen", and `missing` says why (Prepare reports it).
  explicit SaveFolder(std::string folder, std::string missing = {});

  // Where a run writes:
  // - `option` (--savedir) when it is not empty;
  // - else "data", when `dataFolder` (the folder the pictures come from) is
  //   data/ in the current directory and that folder can be written to: the
  //   run from a source tree keeps writing there, as it always has;
  // - else $XDG_DATA_HOME/vextorn (an absolute XDG_DATA_HOME only);
  // - else $HOME/.local/share/vextorn;
  // - else no folder.
  static SaveFolder Choose(const std::string &option, const std::string &dataFolder);

  // Makes sure the folder exists, making each missing folder on its path
  // with mode 0700, and that files can be made in it. False, with one line
  // on standard error naming the folder and the reason, when it cannot be
  // made or written to (or there is none); nothing is changed then.
  bool Prepare() const;
  // Prepare that gives the reason to the caller instead of the log.
  bool Prepare(std::string &reason) const;

  // The path of the named file in the folder.
  std::string Path(std::string_view name) const;
  // The folder as chosen ("data" for the source tree's own); empty for none.
  const std::string &Folder() const { return folder; }

private:
  std::string folder;
  std::string missing;
};
