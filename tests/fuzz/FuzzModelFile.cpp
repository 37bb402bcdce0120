// The model file reader (VoxelModel::Load, the code F7 runs) on any bytes,
// with a room of 4 by 4 texels per face. A file that is refused leaves the
// model exactly as it was; a file that is taken is written back (as the
// autosave writes) byte for byte, and its meshes are in the pick buffer's
// reach.
#include "FuzzCheck.h"
#include "MemoryFile.h"
#include "SmallModel.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static MemoryFile file;
  static SmallModel small;
  if(!file.Write(data, size))
    return 0;

  VoxelModel &model = small.Fresh();
  const std::vector<uint8_t> before = SmallModel::FileOf(model);
  const uint64_t changesBefore = model.ChangeCount();
  VoxelModel::LoadProblem problem = VoxelModel::LoadProblem::None;
  std::string reason;
  if(model.Load(file.Path(), problem, reason))
  {
    Check(problem == VoxelModel::LoadProblem::None && reason.empty());
    Check(model.ChangeCount() > changesBefore);
    Check(SmallModel::SameFile(SmallModel::FileOf(model), data, size));
    // The loaded model is usable: every pixel can be asked about.
    for(int y = 0; y < 48; y += 7)
      for(int x = 0; x < 64; x += 7)
        model.EraseAt(x, y);
  }
  else
  {
    Check(problem != VoxelModel::LoadProblem::None && !reason.empty() && reason.find('\n') == std::string::npos);
    Check(model.ChangeCount() == changesBefore);
    Check(SmallModel::FileOf(model) == before);
  }
  return 0;
}
