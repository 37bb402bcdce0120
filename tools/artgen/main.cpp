// artgen: draws every picture and synthesises every sound the program loads,
// and the application's icon.
// Usage: artgen OUT_DIR [DOCS_DIR] [--icons ICON_DIR]
// OUT_DIR receives the 85 pictures and 11 sounds (the program's data folder);
// DOCS_DIR, when given, receives the contact sheet and the two screen mock-ups;
// ICON_DIR, when given, receives the icon at every size ("16x16.png" ...).
// The output depends on nothing but this code, so two runs write the same bytes.
#include "ArtSet.h"
#include "CursorArt.h"
#include "IconArt.h"
#include "ReviewSheets.h"
#include "SoundArt.h"
#include "TitleArt.h"
#include "ToolArt.h"

#include "base/Log.h"

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

const char *const Usage = "usage: artgen OUT_DIR [DOCS_DIR] [--icons ICON_DIR]";

// Creates the folder and its parents; false with a message when it cannot.
bool MakeFolder(const std::string &folder)
{
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if(error)
  {
    LogLine("artgen: cannot create " + folder + ": " + error.message());
    return false;
  }
  return true;
}

int Run(int argc, char **argv)
{
  std::vector<std::string> folders;
  std::string iconDir;
  for(int i = 1; i < argc; ++i)
  {
    const std::string argument = argv[i];
    if(argument == "--icons" && i + 1 < argc)
    {
      iconDir = argv[++i];
    }
    else if(argument.starts_with("-"))
    {
      LogLine(Usage);
      return 2;
    }
    else
    {
      folders.push_back(argument);
    }
  }
  if(folders.empty() || folders.size() > 2)
  {
    LogLine(Usage);
    return 2;
  }
  const std::string outDir = folders[0];
  if(!MakeFolder(outDir))
  {
    return 1;
  }

  ArtSet set;
  TitleArt::Make(set);
  ToolArt::Make(set);
  CursorArt::Make(set);
  const std::vector<SoundArt::Entry> sounds = SoundArt::Make();
  if(!set.WriteAll(outDir) || !SoundArt::WriteAll(sounds, outDir))
  {
    return 1;
  }

  if(folders.size() == 2)
  {
    const std::string docsDir = folders[1];
    if(!MakeFolder(docsDir) || !ReviewSheets::WriteAll(set, sounds, docsDir))
    {
      return 1;
    }
  }

  if(!iconDir.empty())
  {
    ArtSet icons;
    IconArt::Make(icons);
    if(!MakeFolder(iconDir) || !icons.WriteAll(iconDir))
    {
      return 1;
    }
  }
  return 0;
}

}

int main(int argc, char **argv)
{
  try
  {
    return Run(argc, argv);
  }
  catch(const std::exception &error)
  {
    // A drawing rule broken by a change to the generator (a picture made
    // twice, a cursor that does not fit its family's mask).
    LogLine(std::string("artgen: ") + error.what());
    return 1;
  }
}
