#include "store/Autosave.h"

#include "base/Log.h"
#include "model/ReplacingFile.h"
#include "model/VoxelModel.h"
#include "store/SaveFolder.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace {
  bool Exists(const std::string &path)
  {
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0;
  }
}

Autosave::Autosave(const SaveFolder &saveFolder, uint32_t intervalMs)
  : folder(saveFolder), interval(intervalMs)
{
}

Autosave::~Autosave()
{
  Wait();
}

std::string Autosave::Path() const
{
  return folder.Path(FileName);
}

int Autosave::RemoveLeftovers(int minimumAgeSeconds)
{
  // A write goes to FileName + "." + six characters, then is renamed.
  const std::string prefix = std::string(FileName) + ".";
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.Folder(), error);
  if(error)
    return 0;
  const auto now = std::filesystem::file_time_type::clock::now();
  int removed = 0;
  for(const auto &entry : entries)
  {
    const std::string name = entry.path().filename().string();
    if(name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
       !entry.is_regular_file(error) || entry.is_symlink(error))
      continue;
    const auto changed = entry.last_write_time(error);
    if(error || now - changed < std::chrono::seconds(minimumAgeSeconds))
      continue;
    if(std::filesystem::remove(entry.path(), error))
      ++removed;
  }
  if(removed > 0)
    LogLine("removed " + std::to_string(removed) + " unfinished autosave file" + (removed > 1 ? "s" : "") + " from " +
            folder.Folder());
  return removed;
}

Autosave::Restored Autosave::Restore(VoxelModel &model)
{
  const std::string path = Path();
  Restored result = Restored::None;
  if(Exists(path))
  {
    VoxelModel::LoadProblem problem = VoxelModel::LoadProblem::None;
    std::string reason;
    if(model.Load(path, problem, reason))
      result = Restored::Model;
    else if(problem == VoxelModel::LoadProblem::Damaged)
    {
      const std::string aside = FreeDamagedName(path);
      if(std::rename(path.c_str(), aside.c_str()) == 0)
        LogLine("the autosave " + path + " is damaged; it is kept as " + aside +
                " and the toy starts with an empty room");
      else
        LogLine("the autosave " + path + " is damaged and could not be renamed to " + aside + " (" +
                std::strerror(errno) + "); the toy starts with an empty room");
      result = Restored::SetAside;
    }
    else
    {
      LogLine(reason + " (the autosave is left where it is)");
      result = Restored::Failed;
    }
  }
  Begin(model);
  return result;
}

void Autosave::Begin(const VoxelModel &model)
{
  Wait();
  savedCount = model.ChangeCount();
  changeSeenAt.reset();
}

void Autosave::Tick(const VoxelModel &model, uint32_t now)
{
  Collect(now);
  const uint64_t count = model.ChangeCount();
  if(count == savedCount)
  {
    changeSeenAt.reset();
    return;
  }
  if(!changeSeenAt)
    changeSeenAt = now;
  if(writing.valid() || now - *changeSeenAt < interval)
    return;
  // A failure is tried again one interval later; after a start, the next
  // change is timed from when it is seen.
  if(StartWrite(model))
    changeSeenAt.reset();
  else
    changeSeenAt = now;
}

bool Autosave::Finish(const VoxelModel &model)
{
  Wait();
  if(model.ChangeCount() == savedCount)
    return true;
  if(!folder.Prepare())
    return false;
  const std::shared_ptr<const ModelSnapshot> snapshot = ModelSnapshot::Take(model);
  if(!WriteFile(*snapshot, Path()))
    return false;
  savedCount = snapshot->ChangeCount();
  return true;
}

void Autosave::Wait()
{
  if(!writing.valid())
    return;
  if(writing.get())
    savedCount = writingCount;
}

bool Autosave::Writing() const
{
  return writing.valid() && writing.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

void Autosave::Collect(uint32_t now)
{
  if(!writing.valid() || Writing())
    return;
  if(writing.get())
    savedCount = writingCount;
  else
    // Tried again one interval later.
    changeSeenAt = now;
}

bool Autosave::StartWrite(const VoxelModel &model)
{
  if(!folder.Prepare())
    return false;
  // The worker thread holds the snapshot until the file is written; the
  // images it shares copy their bytes when painted meanwhile.
  std::shared_ptr<const ModelSnapshot> snapshot = ModelSnapshot::Take(model);
  writingCount = snapshot->ChangeCount();
  const std::string path = Path();
  try
  {
    writing = std::async(std::launch::async, [snapshot, path] { return WriteFile(*snapshot, path); });
  }
  catch(const std::system_error &)
  {
    // No thread to be had: the frame writes it itself.
    std::promise<bool> done;
    done.set_value(WriteFile(*snapshot, path));
    writing = done.get_future();
  }
  return true;
}

bool Autosave::WriteFile(const ModelSnapshot &snapshot, const std::string &path)
{
  ReplacingFile out;
  if(!out.Open(path))
  {
    LogLine("cannot write the autosave " + path + ": " + std::strerror(errno));
    return false;
  }
  if(!snapshot.Write(out.File()) || !out.Commit())
  {
    LogLine("could not write the autosave " + path + "; the previous one is kept");
    return false;
  }
  return true;
}

std::string Autosave::FreeDamagedName(const std::string &path)
{
  const std::string base = path + DamagedSuffix;
  std::string name = base;
  for(int n = 2; Exists(name); ++n)
    name = base + "." + std::to_string(n);
  return name;
}
