#pragma once

#include "export/ModelExport.h"
#include "platform/WindowSettings.h"

#include <string>
#include <vector>

// The command line of the toy:
//   --help                     usage on standard output
//   --version                  "vextorn X.Y.Z"
//   --windowed[=WIDTHxHEIGHT]  a desktop window (of that size)
//   --fullscreen               the whole screen (the default)
//   --nosound                  no audio device is opened
//   --startblank               the creation screen starts with an empty room
//   --datadir DIR              where the pictures and sounds are
//   --savedir DIR              where the toy writes
//   --export FILE [MODEL]      export the model file instead of playing
//   --no-room, --scale N       what --export leaves out, how large a picture
// Of --windowed and --fullscreen the last one given wins, and so does the
// last --datadir or --savedir. Parsing has no side effects: the caller
// prints, and decides what to do with the outcome.
class LaunchOptions {
public:
  // The smallest and the largest window asked for with --windowed=WxH.
  static constexpr int MinWidth = 320;
  static constexpr int MinHeight = 240;
  static constexpr int MaxSide = 16384;

  enum class Outcome {
    // Start the toy with the options read.
    Run,
    // Print Usage() and end with status 0.
    Help,
    // Print VersionLine() and end with status 0.
    Version,
    // Print Error() on standard error and end with status 2.
    Refused,
    // Export as Export() says (its model empty: the one F7 loads) and end
    // with the export's status.
    Export,
  };

  // Reads the arguments after the program's name.
  Outcome Parse(const std::vector<std::string> &arguments);
  // Reads main's arguments (argv[0] is the program's name).
  Outcome Parse(int argc, const char *const *argv);

  // Why the arguments were refused: one line naming the option or value,
  // pointing to --help.
  const std::string &Error() const { return error; }
  // The text --help prints.
  static std::string Usage();
  // The line --version prints: "vextorn" and the project's version.
  static std::string VersionLine();

  const WindowSettings &Window() const { return window; }
  bool Sound() const { return sound; }
  bool StartBlank() const { return startBlank; }
  // Empty when not given.
  const std::string &DataFolder() const { return dataFolder; }
  const std::string &SaveFolder() const { return saveFolder; }
  // What --export asks for; its model is empty when none was named.
  const ExportRequest &Export() const { return exportRequest; }

  // Reads "WIDTHxHEIGHT" (each side MinWidth/MinHeight to MaxSide); false
  // for anything else.
  static bool ParseSize(const std::string &text, int &width, int &height);

private:
  Outcome Refuse(const std::string &line);

private:
  WindowSettings window;
  bool sound = true;
  bool startBlank = false;
  std::string dataFolder;
  std::string saveFolder;
  ExportRequest exportRequest;
  std::string error;
};
