#pragma once

#include "history/EditStep.h"
#include "model/CubeCopy.h"

// One cube placed or erased: the cube's place in the model's list, its
// centre and its texels. Taking back a placed cube removes it; taking back
// an erased one puts it back at its place. Either refreshes the pick buffer
// as the edit did.
class CubeStep : public EditStep {
public:
  enum class Kind { Placed, Erased };

  CubeStep(Kind kind, CubeCopy cube);

  bool Undo(VoxelModel &model) override;
  bool Redo(VoxelModel &model) override;
  size_t Bytes() const override;

  Kind GetKind() const { return kind; }
  const CubeCopy &Cube() const { return cube; }

private:
  // Takes the cube out of the model, keeping its texels as they are now.
  bool Remove(VoxelModel &model);
  bool Insert(VoxelModel &model) const;

private:
  Kind kind;
  CubeCopy cube;
};
