#include "history/LoadStep.h"

#include "model/VoxelModel.h"

#include <utility>

LoadStep::LoadStep(std::vector<uint8_t> replaced)
  : other(std::move(replaced))
{
}

bool LoadStep::Undo(VoxelModel &model)
{
  return Exchange(model);
}

bool LoadStep::Redo(VoxelModel &model)
{
  return Exchange(model);
}

size_t LoadStep::Bytes() const
{
  return sizeof(*this) + other.capacity();
}

bool LoadStep::Exchange(VoxelModel &model)
{
  std::vector<uint8_t> shown;
  if(!model.SaveToMemory(shown) || !model.LoadFromMemory(other))
    return false;
  other = std::move(shown);
  return true;
}
