#pragma once

#include "res/RgbColour.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

class EditStep;
class GraphicsDevice;
class StrokeStep;
class VoxelModel;

// The edits of the creation screen, kept so that they can be taken back
// and done again. The screen edits the model through the history, and each
// of the four kinds of edit becomes one step: a whole pen stroke (from the
// first texel painted until EndStroke), one cube placed, one cube erased,
// one load of the model file. Turning the view, choosing tools and saving
// are not edits and leave the history alone.
//
// Undo takes back the latest step not yet taken back, Redo does again the
// one taken back last; any new step forgets what could be done again. The
// history keeps at most `maxSteps` steps and `maxBytes` bytes: past either
// bound the oldest steps go. Steps keep only what they changed (a stroke its
// texels before and after, a cube its place, centre and texels, a load the
// replaced model), in memory only.
class EditHistory {
public:
  static constexpr int DefaultMaxSteps = 200;
  static constexpr size_t DefaultMaxBytes = size_t{64} << 20;

  explicit EditHistory(VoxelModel &model, int maxSteps = DefaultMaxSteps, size_t maxBytes = DefaultMaxBytes);
  EditHistory(const EditHistory &) = delete;
  EditHistory &operator=(const EditHistory &) = delete;
  ~EditHistory();

  // Paints as VoxelModel::PaintAt does and adds the texel to the open
  // stroke, opening one when there is none.
  bool PaintAt(GraphicsDevice &device, int x, int y, const RgbColour &colour);
  // Closes the open stroke; it becomes a step when it changed any texel.
  void EndStroke();
  // Places, erases or loads as the model does; each success is a step. A
  // load straight after a load, with no edit between, belongs to the step of
  // the first: taking it back brings the model from before the first.
  bool PlaceCubeAt(int x, int y, const RgbColour &colour);
  bool EraseAt(int x, int y);
  bool Load(const std::string &path);
  // Load that gives the reason for a refusal to the caller instead of the log.
  bool Load(const std::string &path, std::string &reason);

  // Take back or do again one step (closing the open stroke first). False
  // when there is none; also when the model does not fit the step (it was
  // changed behind the history's back), which forgets every step.
  bool Undo();
  bool Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  // Forgets every step and the open stroke.
  void Clear();

  // Steps that Undo and Redo could take, the open stroke not counted.
  int UndoSteps() const { return static_cast<int>(applied); }
  int RedoSteps() const { return static_cast<int>(steps.size() - applied); }
  // The memory the steps and the open stroke hold, in bytes.
  size_t Bytes() const;

private:
  // Adds a step after the ones done, forgetting those taken back.
  void Push(std::unique_ptr<EditStep> step);
  // Drops the oldest steps done while either bound is passed.
  void Trim();
  size_t StepBytes() const;
  // The model is not what the steps expect: forgets them all.
  void Forget(const std::string &why);

private:
  VoxelModel &model;
  size_t maxSteps = DefaultMaxSteps;
  size_t maxBytes = DefaultMaxBytes;
  // Oldest first; the first `applied` are done, the rest taken back.
  std::deque<std::unique_ptr<EditStep>> steps;
  size_t applied = 0;
  std::unique_ptr<StrokeStep> stroke;
  // The last step is a load and the model has not changed since.
  bool loadOnTop = false;
};
