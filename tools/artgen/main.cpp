// artgen: draws every picture and synthesises every sound the program loads.
// Usage: artgen OUT_DIR [DOCS_DIR]
// OUT_DIR receives the 85 pictures and 11 sounds (the program's data folder);
// DOCS_DIR, when given, receives the contact sheet and the two screen mock-ups.
// The output depends on nothing but this code, so two runs write the same bytes.
#include "ArtSet.h"
#include "CursorArt.h"
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

int Run(int argc, char **argv)
{
  if(argc < 2 || argc > 3)
  {
    LogLine("usage: artgen OUT_DIR [DOCS_DIR]");
    return 2;
  }
  const std::string outDir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(outDir, error);
  if(error)
  {
    LogLine("artgen: cannot create " + outDir + ": " + error.message());
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

  if(argc == 3)
  {
    const std::string docsDir = argv[2];
    std::filesystem::create_directories(docsDir, error);
    if(error)
    {
      LogLine("artgen: cannot create " + docsDir + ": " + error.message());
      return 1;
    }
    if(!ReviewSheets::WriteAll(set, sounds, docsDir))
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
