#pragma once

#include <ctime>
#include <string>

// Where the toy keeps pages, pictures and models for the family to find: the
// folder Vextorn in the user's pictures folder. The pictures folder is the
// one the user's user-dirs.dirs names as XDG_PICTURES_DIR (in
// $XDG_CONFIG_HOME, or ~/.config), else ~/Pictures.
class PicturesFolder {
public:
  // The folder in the pictures folder that holds the toy's files.
  static constexpr const char *Subfolder = "Vextorn";
  // The start of every file name there: vextorn-YYYYMMDD-HHMMSS.
  static constexpr const char *NamePrefix = "vextorn-";

  // The pictures folder for this home and configuration folder (either may
  // be empty: unknown), reading user-dirs.dirs from the configuration folder
  // (when it is an absolute path; ~/.config otherwise). Empty when there is
  // no home and no absolute pictures folder is configured.
  static std::string Locate(const std::string &home, const std::string &configHome);
  // The same for this process's environment ($HOME, or the password file's
  // home, and $XDG_CONFIG_HOME), with Subfolder added.
  static std::string Find();
  // The XDG_PICTURES_DIR that the text of a user-dirs.dirs file defines
  // ("$HOME/..." with the home put in, or an absolute path); empty when it
  // defines none, or one in another form.
  static std::string FromUserDirs(const std::string &text, const std::string &home);

  // Creates the folder and any missing parents. False, with the reason in
  // `error`, when it cannot be made or is not a folder.
  static bool Prepare(const std::string &folder, std::string &error);
  // The base name (no extension) for a local time: vextorn-YYYYMMDD-HHMMSS,
  // and for attempt 2, 3, ... the same with -2, -3, ... added.
  static std::string BaseName(const std::tm &local, int attempt);
};
