// Bringing back the autosave at start-up on any bytes: the file is put in a
// save folder of its own (in memory where /dev/shm exists) and restored into
// a model with a room of 4 by 4 texels per face. A file that is taken stays
// where it is; a damaged one is renamed aside, never removed; the model is
// either the file's or untouched.
#include "FuzzCheck.h"
#include "SmallModel.h"

#include "store/Autosave.h"
#include "store/SaveFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
  std::string MakeFolder()
  {
    const std::filesystem::path base =
      std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    std::string pattern = (base / "vextorn-fuzz-autosave-XXXXXX").string();
    if(!mkdtemp(pattern.data()))
      std::abort();
    return pattern;
  }

  // Removes the folder when the fuzzer ends.
  struct Folder {
    Folder() : path(MakeFolder()) {}
    ~Folder()
    {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
    std::string path;
  };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static Folder folder;
  static SmallModel small;
  const SaveFolder saves(folder.path);
  const std::string path = saves.Path(Autosave::FileName);
  const std::string aside = path + Autosave::DamagedSuffix;

  std::FILE *out = std::fopen(path.c_str(), "wb");
  Check(out != nullptr);
  const bool written = std::fwrite(data, 1, size, out) == size;
  Check(std::fclose(out) == 0 && written);

  VoxelModel &model = small.Fresh();
  const std::vector<uint8_t> before = SmallModel::FileOf(model);
  Autosave autosave(saves);
  const Autosave::Restored restored = autosave.Restore(model);
  switch(restored)
  {
    case Autosave::Restored::Model:
      Check(std::filesystem::exists(path) && !std::filesystem::exists(aside));
      Check(SmallModel::SameFile(SmallModel::FileOf(model), data, size));
      break;
    case Autosave::Restored::SetAside:
      Check(!std::filesystem::exists(path) && std::filesystem::file_size(aside) == size);
      Check(SmallModel::FileOf(model) == before);
      break;
    case Autosave::Restored::Failed:
      Check(std::filesystem::exists(path));
      Check(SmallModel::FileOf(model) == before);
      break;
    case Autosave::Restored::None:
      Check(false);
      break;
  }
  // Nothing changed since: closing writes nothing.
  Check(autosave.Finish(model));
  Check(autosave.SavedCount() == model.ChangeCount());
  std::filesystem::remove(path);
  std::filesystem::remove(aside);
  return 0;
}
