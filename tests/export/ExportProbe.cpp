// Makes the export tests' model file, and exports models the way the
// program's command line does, for test_export.sh.
//
//   export_probe make-model PATH                    writes the sample model
//   export_probe export OUTPUT MODEL [--no-room] [--scale N]
//                                                    exports; exit status as
//                                                    the program's
#include "export/ModelExport.h"
#include "export/SampleModel.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
  const std::string mode = argc > 1 ? argv[1] : "";
  if(mode == "make-model" && argc == 3)
    return SampleModel::Write(argv[2]) ? 0 : 1;
  if(mode == "export" && argc >= 4)
  {
    ExportRequest request;
    request.output = argv[2];
    request.model = argv[3];
    for(int i = 4; i < argc; ++i)
    {
      const std::string option = argv[i];
      if(option == "--no-room")
        request.withRoom = false;
      else if(option == "--scale" && i + 1 < argc)
        request.scale = std::atoi(argv[++i]);
      else
        return 2;
    }
    return ModelExport::Run(request);
  }
  std::fprintf(stderr, "usage: export_probe make-model PATH | export OUTPUT MODEL [--no-room] [--scale N]\n");
  return 2;
}
