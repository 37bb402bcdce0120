// Makes the export tests' model file for test_export.sh.
//
//   export_probe make-model PATH    writes the sample model (exit 0 on success)
#include "export/SampleModel.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
  if(argc == 3 && std::string(argv[1]) == "make-model")
    return SampleModel::Write(argv[2]) ? 0 : 1;
  std::fprintf(stderr, "usage: export_probe make-model PATH\n");
  return 2;
}
