#include "app/LaunchOptions.h"

#include "base/Log.h"

#include <CLI/CLI.hpp>

#include <charconv>

#ifndef VEXTORN_VERSION
#error "VEXTORN_VERSION (the project's version) must be defined by the build"
#endif

namespace {
  const std::string SeeHelp = "; see 'vextorn --help'";

  // Each flag's and each option-with-a-folder's name, for messages.
  const char *const Flags[] = {"help", "version", "fullscreen", "nosound", "startblank", "no-room"};
  const char *const FolderOptions[] = {"datadir", "savedir"};

  // One line from what the parser said about an option it could not take.
  std::string Explain(const std::string &said)
  {
    for(const char *flag : Flags)
      if(said.find(flag) != std::string::npos)
        return std::string("option --") + flag + " takes no value";
    if(said.find("export") != std::string::npos)
      return "option --export needs the file to write (and may name the model file after it)";
    if(said.find("scale") != std::string::npos)
      return "option --scale needs a whole number from 1 to " + std::to_string(ModelExport::MaxScale);
    for(const char *option : FolderOptions)
      if(said.find(option) != std::string::npos)
        return std::string("option --") + option + " needs a folder";
    return "bad arguments: " + said;
  }
}

LaunchOptions::Outcome LaunchOptions::Parse(int argc, const char *const *argv)
{
  std::vector<std::string> arguments;
  for(int i = 1; i < argc; ++i)
    arguments.emplace_back(argv[i]);
  return Parse(arguments);
}

LaunchOptions::Outcome LaunchOptions::Parse(const std::vector<std::string> &arguments)
{
  *this = LaunchOptions();

  CLI::App app("A 3D colouring toy", "vextorn");
  app.set_help_flag();
  // Whatever is left over is refused below, with its own message.
  app.allow_extras(true);
  bool help = false;
  bool version = false;
  bool fullscreen = false;
  bool noSound = false;
  bool noRoom = false;
  std::string size;
  std::string exportOutput;
  std::string exportModel;
  std::string scale;
  app.add_flag("--help", help)->disable_flag_override();
  app.add_flag("--version", version)->disable_flag_override();
  CLI::Option *windowed =
    app.add_option("--windowed", size)->expected(0, 1)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  CLI::Option *full = app.add_flag("--fullscreen", fullscreen)->disable_flag_override();
  app.add_flag("--nosound", noSound)->disable_flag_override();
  app.add_flag("--startblank", startBlank)->disable_flag_override();
  app.add_option("--datadir", dataFolder)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("--savedir", saveFolder)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  CLI::Option *exporting = app.add_option("--export", exportOutput);
  CLI::Option *room = app.add_flag("--no-room", noRoom)->disable_flag_override();
  CLI::Option *scaled = app.add_option("--scale", scale)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  std::vector<const char *> argv{"vextorn"};
  for(const std::string &argument : arguments)
    argv.push_back(argument.c_str());
  try
  {
    app.parse(static_cast<int>(argv.size()), argv.data());
  }
  catch(const CLI::ParseError &failure)
  {
    return Refuse(Explain(failure.what()));
  }

  for(const std::string &extra : app.remaining())
  {
    if(extra == "--")
      continue;
    if(extra.size() > 1 && extra[0] == '-')
      return Refuse("unknown option '" + extra + "'");
    // The model file to export: one, anywhere.
    if(exporting->count() > 0 && exportModel.empty() && !extra.empty())
    {
      exportModel = extra;
      continue;
    }
    return Refuse("unexpected argument '" + extra + "'");
  }
  if(exporting->count() > 0 && (exportOutput.empty() || exportOutput.rfind("--", 0) == 0))
    return Refuse("option --export needs the file to write (and may name the model file after it)");
  // A folder that looks like an option is an option given without its folder.
  for(const std::string *folder : {&dataFolder, &saveFolder})
    if(folder->rfind("--", 0) == 0)
      return Refuse(std::string("option --") + (folder == &dataFolder ? "datadir" : "savedir") + " needs a folder");

  if(help)
    return Outcome::Help;
  if(version)
    return Outcome::Version;

  if(exporting->count() == 0)
  {
    if(room->count() > 0 || scaled->count() > 0)
      return Refuse(std::string("option --") + (room->count() > 0 ? "no-room" : "scale") + " goes with --export");
  }
  else
  {
    exportRequest.output = exportOutput;
    exportRequest.model = exportModel;
    exportRequest.withRoom = !noRoom;
    if(scaled->count() > 0)
    {
      int factor = 0;
      const std::from_chars_result read = std::from_chars(scale.data(), scale.data() + scale.size(), factor);
      if(scale.empty() || scale[0] < '0' || scale[0] > '9' || read.ec != std::errc() ||
         read.ptr != scale.data() + scale.size() || factor < 1 || factor > ModelExport::MaxScale)
        return Refuse("bad scale '" + scale + "' for --scale (a whole number from 1 to " +
                      std::to_string(ModelExport::MaxScale) + ")");
      exportRequest.scale = factor;
    }
    return Outcome::Export;
  }

  // The later of --windowed and --fullscreen decides.
  const CLI::Option *lastMode = nullptr;
  for(const CLI::Option *option : app.parse_order())
    if(option == windowed || option == full)
      lastMode = option;
  if(lastMode == windowed)
  {
    window.fullscreen = false;
    if(!size.empty() && !ParseSize(size, window.width, window.height))
      return Refuse("bad window size '" + size + "' for --windowed (WIDTHxHEIGHT from " + std::to_string(MinWidth) +
                    "x" + std::to_string(MinHeight) + " to " + std::to_string(MaxSide) + "x" +
                    std::to_string(MaxSide) + ", such as 1280x960)");
  }
  sound = !noSound;
  return Outcome::Run;
}

LaunchOptions::Outcome LaunchOptions::Refuse(const std::string &line)
{
  // The arguments quoted in it may hold any bytes.
  error = OneLine(line) + SeeHelp;
  return Outcome::Refused;
}

bool LaunchOptions::ParseSize(const std::string &text, int &width, int &height)
{
  const size_t x = text.find_first_of("xX");
  if(x == std::string::npos || x == 0 || x + 1 >= text.size())
    return false;
  const auto number = [](const char *first, const char *last, int &value) {
    // Digits only: no sign, no spaces.
    if(first == last || *first < '0' || *first > '9')
      return false;
    const std::from_chars_result read = std::from_chars(first, last, value);
    return read.ec == std::errc() && read.ptr == last;
  };
  int w = 0;
  int h = 0;
  const char *begin = text.data();
  if(!number(begin, begin + x, w) || !number(begin + x + 1, begin + text.size(), h))
    return false;
  if(w < MinWidth || h < MinHeight || w > MaxSide || h > MaxSide)
    return false;
  width = w;
  height = h;
  return true;
}

std::string LaunchOptions::Usage()
{
  return "Usage: vextorn [OPTION]...\n"
         "       vextorn --export FILE [MODEL] [--no-room] [--scale N]\n"
         "A 3D colouring toy: build a model out of cubes, paint it, print it.\n"
         "\n"
         "  --windowed[=WIDTHxHEIGHT]  play in a window (by default the largest that fits)\n"
         "  --fullscreen               play on the whole screen (the default)\n"
         "  --nosound                  play without sound\n"
         "  --startblank               start with an empty room instead of the last model\n"
         "  --datadir DIR              read the pictures and sounds from DIR\n"
         "  --savedir DIR              write the saved model, the printed picture and the\n"
         "                             autosave into DIR\n"
         "  --export FILE [MODEL]      write the model file MODEL (by default the one F7\n"
         "                             loads) to FILE without opening a window, and exit;\n"
         "                             FILE's extension names the format: .glb (glTF), .obj\n"
         "                             (with .mtl and pictures), .stl (the cubes, for 3D\n"
         "                             printing), .png (the picture), .pdf (the page)\n"
         "  --no-room                  with --export: leave the room out of .glb and .obj\n"
         "  --scale N                  with --export: a .png picture N times as large (1 to " +
         std::to_string(ModelExport::MaxScale) +
         ")\n"
         "  --help                     show this help and exit\n"
         "  --version                  show the version and exit\n"
         "\n"
         "The pictures and sounds are looked for in --datadir, $VEXTORN_DATA_DIR, data/ in\n"
         "the current directory, then the installed share/vextorn/. The toy writes into\n"
         "--savedir, else data/ when it runs from there, else $XDG_DATA_HOME/vextorn\n"
         "(~/.local/share/vextorn). The model is kept in autosave.data there and comes back\n"
         "at the next start. On the creation screen F8 saves the model (demo.data) and F7\n"
         "loads it; Escape closes the toy. When no printer takes a page, the page (PDF),\n"
         "the picture (PNG) and the model (glTF) go to Vextorn/ in the pictures folder.\n";
}

std::string LaunchOptions::VersionLine()
{
  return std::string("vextorn ") + VEXTORN_VERSION;
}
