#include "app/HangupSignal.h"
#include "app/LaunchOptions.h"
#include "app/PaintApp.h"
#include "base/Log.h"
#include "export/ModelExport.h"
#include "res/DataFiles.h"
#include "store/DataFolderSearch.h"
#include "store/SaveFolder.h"

#include <cstdio>

// Reads the options, finds the pictures and sounds, chooses where the toy
// writes and starts it. Exit status: 0 after a normal close (and for --help
// and --version), 1 when the toy cannot start, 2 for options it refuses;
// with --export, the export's (0 or 1).
int main(int argc, char **argv)
{
  LaunchOptions options;
  switch(options.Parse(argc, argv))
  {
    case LaunchOptions::Outcome::Help:
      std::fputs(LaunchOptions::Usage().c_str(), stdout);
      return 0;
    case LaunchOptions::Outcome::Version:
      std::puts(LaunchOptions::VersionLine().c_str());
      return 0;
    case LaunchOptions::Outcome::Refused:
      LogLine(options.Error());
      return 2;
    case LaunchOptions::Outcome::Export:
    {
      ExportRequest request = options.Export();
      if(request.model.empty())
      {
        // The file F7 would load: in the folder the toy would write into.
        DataFolderSearch search;
        search.RunForThisProgram(options.DataFolder());
        request.model = SaveFolder::Choose(options.SaveFolder(), search.Found()).Path(SaveFolder::ModelFileName);
      }
      return ModelExport::Run(request);
    }
    case LaunchOptions::Outcome::Run:
      break;
  }

  DataFolderSearch search;
  if(!search.RunForThisProgram(options.DataFolder()))
  {
    LogLine(search.FailureLine());
    return 1;
  }
  if(!search.PassedOverLine().empty())
    LogLine(search.PassedOverLine());

  // From here on a logout closes the toy normally, keeping the model.
  HangupSignal::Install();

  int status = 1;
  {
    PaintApp app;
    app.SetWindowSettings(options.Window());
    app.SetDataFiles(DataFiles(search.Found()));
    app.SetSaveFolder(SaveFolder::Choose(options.SaveFolder(), search.Found()));
    app.SetSoundEnabled(options.Sound());
    app.EnableAutosave(!options.StartBlank());
    if(app.Init())
    {
      app.Run();
      status = 0;
    }
  }
  return status;
}
