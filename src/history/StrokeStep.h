#pragma once

#include "history/EditStep.h"
#include "model/PaintedTexel.h"
#include "res/RgbColour.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class CubeMesh;

// A whole pen stroke, from press to release: every texel it changed, with
// its colour before the stroke and after it. Recorded texel by texel as the
// pen paints; a texel painted again keeps its first colour before and takes
// its last colour after.
class StrokeStep : public EditStep {
public:
  // One changed texel: the mesh's place in the model's list, the face, the
  // texel's column and row, and its two colours.
  struct Texel {
    int32_t mesh = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint8_t face = 0;
    RgbColour before;
    RgbColour after;
  };

  // Records a texel the pen wrote in the model. The model's list must not
  // change while a stroke is recorded.
  void Add(VoxelModel &model, const PaintedTexel &painted);
  // Ends the recording: keeps only the texels whose colour changed and lets
  // go of what recording needed.
  void Finish();

  // Whether any recorded texel has another colour now than before the stroke.
  bool Changed() const { return changedTexels > 0; }
  const std::vector<Texel> &Texels() const { return texels; }

  bool Undo(VoxelModel &model) override;
  bool Redo(VoxelModel &model) override;
  size_t Bytes() const override;

private:
  // Writes every texel's colour before (or after) the stroke; nothing when
  // any texel is missing from the model.
  bool Write(VoxelModel &model, bool after) const;

private:
  std::vector<Texel> texels;
  // While recording: a texel's key to its place in `texels`.
  std::unordered_map<uint64_t, uint32_t> recorded;
  // The last mesh painted and its place in the list, to spare a search.
  const CubeMesh *lastMesh = nullptr;
  int32_t lastIndex = -1;
  size_t changedTexels = 0;
};
