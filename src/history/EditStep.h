#pragma once

#include <cstddef>

class VoxelModel;

// One edit the history can take back and do again: the model as it was
// before the edit and as it was after are both within its reach. Undo is
// only ever called on the model as the edit left it, Redo on the model as
// Undo left it.
class EditStep {
public:
  virtual ~EditStep() = default;

  // Takes the model back to how it was before the edit. False, with the
  // model unchanged, when the model is not as the edit left it.
  virtual bool Undo(VoxelModel &model) = 0;
  // Does the edit again. False, with the model unchanged, as for Undo.
  virtual bool Redo(VoxelModel &model) = 0;
  // The memory the step holds, in bytes.
  virtual size_t Bytes() const = 0;
};
