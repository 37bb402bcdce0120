#pragma once

#include "history/EditStep.h"

#include <cstdint>
#include <vector>

// One load of the model file: the model the load replaced, as the model
// file's bytes. Taking the load back and doing it again both exchange that
// model with the one shown, so the step always holds one whole model.
class LoadStep : public EditStep {
public:
  explicit LoadStep(std::vector<uint8_t> replaced);

  bool Undo(VoxelModel &model) override;
  bool Redo(VoxelModel &model) override;
  size_t Bytes() const override;

private:
  bool Exchange(VoxelModel &model);

private:
  std::vector<uint8_t> other;
};
