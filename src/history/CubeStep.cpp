#include "history/CubeStep.h"

#include "model/VoxelModel.h"

#include <utility>

CubeStep::CubeStep(Kind kind, CubeCopy cube)
  : kind(kind), cube(std::move(cube))
{
}

bool CubeStep::Undo(VoxelModel &model)
{
  return kind == Kind::Placed ? Remove(model) : Insert(model);
}

bool CubeStep::Redo(VoxelModel &model)
{
  return kind == Kind::Placed ? Insert(model) : Remove(model);
}

size_t CubeStep::Bytes() const
{
  return sizeof(*this) + cube.texels.capacity();
}

bool CubeStep::Remove(VoxelModel &model)
{
  // The cube at its place must be this one: same centre.
  CubeCopy present;
  if(!model.CopyCube(cube.index, present) || !(present.centre == cube.centre))
    return false;
  if(!model.RemoveCubeAt(cube.index))
    return false;
  cube = std::move(present);
  return true;
}

bool CubeStep::Insert(VoxelModel &model) const
{
  return model.InsertCube(cube);
}
