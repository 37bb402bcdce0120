#pragma once

#include "store/ModelSnapshot.h"

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

class SaveFolder;
class VoxelModel;

// Keeps the child's model in the save folder's autosave file, in the model
// file's format and with the same safe replacement (a new file renamed over
// the old one only once it is whole), so that a model survives closing the
// toy, a crash or a lost session.
//
// While the toy runs, a model that changed is saved again once the interval
// has passed since the change was first seen: the frame only takes a
// snapshot (which shares the face images rather than copying them); a
// worker thread writes the file. On close, whatever changed since is
// written at once. A model that did not change is never written, so an
// unchanged start (with --startblank, or after a damaged file) keeps the
// file that was there.
class Autosave {
public:
  static constexpr const char *FileName = "autosave.data";
  // What a damaged autosave is renamed to (with ".2", ".3", ... after it
  // when that name is taken).
  static constexpr const char *DamagedSuffix = ".damaged";
  static constexpr uint32_t IntervalMilliseconds = 30000;

  // What Restore found.
  enum class Restored {
    // No autosave file.
    None,
    // The model is the autosaved one.
    Model,
    // The file was damaged and has been renamed; the model is unchanged.
    SetAside,
    // The file could not be read for another reason (it stays); the model is unchanged.
    Failed,
  };

  // Saves into `folder` (which must outlive this object) with the given interval.
  explicit Autosave(const SaveFolder &folder, uint32_t intervalMs = IntervalMilliseconds);
  Autosave(const Autosave &) = delete;
  Autosave &operator=(const Autosave &) = delete;
  // Waits for a write in progress.
  ~Autosave();

  // Loads the autosave file, when there is one, into the model, then Begin.
  // A damaged file is renamed (never removed) with one line on standard
  // error, and the model stays as it was.
  Restored Restore(VoxelModel &model);
  // Takes the model as it is now as already saved.
  void Begin(const VoxelModel &model);
  // Once per frame, `now` in milliseconds: when the model has changed and
  // the interval has passed since the change was first seen, takes a
  // snapshot and starts writing it on a worker thread, unless a write is
  // still in progress.
  void Tick(const VoxelModel &model, uint32_t now);
  // On close: waits for a write in progress, then writes the model at once
  // when it changed since what the file holds. True when the file holds the
  // model (or nothing needed saving).
  bool Finish(const VoxelModel &model);
  // Waits until no write is in progress.
  void Wait();
  // Removes what writes cut short left in the save folder (the program
  // killed or the machine stopped while writing): temporary files of the
  // autosave that have not changed for `minimumAgeSeconds`, so that one
  // another running toy is writing now is left alone. Returns how many.
  int RemoveLeftovers(int minimumAgeSeconds = LeftoverAgeSeconds);
  static constexpr int LeftoverAgeSeconds = 600;

  // The autosave file's path.
  std::string Path() const;
  // Whether a write is in progress.
  bool Writing() const;
  // The model's change count that the file holds (or that needed no saving).
  uint64_t SavedCount() const { return savedCount; }

  // Writes the snapshot to `path` by way of a temporary file in the same
  // folder. False, with one line on standard error and any old file kept,
  // when that fails.
  static bool WriteFile(const ModelSnapshot &snapshot, const std::string &path);
  // `path` + ".damaged", or the first of `path` + ".damaged.2", ".3", ...
  // that does not exist.
  static std::string FreeDamagedName(const std::string &path);

private:
  // Collects the result of a finished write.
  void Collect(uint32_t now);
  // Takes a snapshot and starts writing it; false when the folder cannot
  // be used.
  bool StartWrite(const VoxelModel &model);

private:
  const SaveFolder &folder;
  uint32_t interval = IntervalMilliseconds;
  uint64_t savedCount = 0;
  // When a change not yet saved was first seen.
  std::optional<uint32_t> changeSeenAt;
  std::future<bool> writing;
  uint64_t writingCount = 0;
};
