#include "history/EditHistory.h"

#include "base/Log.h"
#include "history/CubeStep.h"
#include "history/LoadStep.h"
#include "history/StrokeStep.h"
#include "model/VoxelModel.h"

#include <algorithm>
#include <utility>
#include <vector>

EditHistory::EditHistory(VoxelModel &model, int maxSteps, size_t maxBytes)
  : model(model), maxSteps(static_cast<size_t>(std::max(maxSteps, 0))), maxBytes(maxBytes)
{
}

EditHistory::~EditHistory() = default;

bool EditHistory::PaintAt(GraphicsDevice &device, int x, int y, const RgbColour &colour)
{
  PaintedTexel painted;
  if(!model.PaintAt(device, x, y, colour, &painted))
    return false;
  if(!stroke)
    stroke = std::make_unique<StrokeStep>();
  stroke->Add(model, painted);
  return true;
}

void EditHistory::EndStroke()
{
  if(!stroke)
    return;
  std::unique_ptr<StrokeStep> finished = std::move(stroke);
  finished->Finish();
  // A stroke that put back every colour it found changed nothing.
  if(!finished->Texels().empty())
    Push(std::move(finished));
}

bool EditHistory::PlaceCubeAt(int x, int y, const RgbColour &colour)
{
  EndStroke();
  if(!model.PlaceCubeAt(x, y, colour))
    return false;
  CubeCopy placed;
  if(!model.CopyCube(model.Count() - 1, placed))
    Forget("cannot keep the cube just placed");
  else
    Push(std::make_unique<CubeStep>(CubeStep::Kind::Placed, std::move(placed)));
  return true;
}

bool EditHistory::EraseAt(int x, int y)
{
  EndStroke();
  CubeCopy erased;
  if(!model.EraseAt(x, y, &erased))
    return false;
  if(erased.index < 1)
    Forget("cannot keep the cube just erased");
  else
    Push(std::make_unique<CubeStep>(CubeStep::Kind::Erased, std::move(erased)));
  return true;
}

bool EditHistory::Load(const std::string &path)
{
  std::string reason;
  if(Load(path, reason))
    return true;
  LogLine(reason);
  return false;
}

bool EditHistory::Load(const std::string &path, std::string &reason)
{
  EndStroke();
  VoxelModel::LoadProblem problem = VoxelModel::LoadProblem::None;
  // Loading again what was just loaded: the step already holds the model
  // from before the first load.
  if(loadOnTop)
    return model.Load(path, problem, reason);
  std::vector<uint8_t> replaced;
  const bool kept = model.SaveToMemory(replaced);
  if(!model.Load(path, problem, reason))
    return false;
  if(!kept)
    Forget("cannot keep the model the load replaced");
  else
  {
    Push(std::make_unique<LoadStep>(std::move(replaced)));
    loadOnTop = applied > 0;
  }
  return true;
}

bool EditHistory::Undo()
{
  EndStroke();
  if(applied == 0)
    return false;
  if(!steps[applied - 1]->Undo(model))
  {
    Forget("the model does not fit the step to take back");
    return false;
  }
  --applied;
  loadOnTop = false;
  Trim();
  return true;
}

bool EditHistory::Redo()
{
  EndStroke();
  if(applied == steps.size())
    return false;
  if(!steps[applied]->Redo(model))
  {
    Forget("the model does not fit the step to do again");
    return false;
  }
  ++applied;
  loadOnTop = false;
  Trim();
  return true;
}

bool EditHistory::CanUndo() const
{
  return applied > 0 || (stroke && stroke->Changed());
}

bool EditHistory::CanRedo() const
{
  // Closing an open stroke that changed something forgets what could be redone.
  return applied < steps.size() && !(stroke && stroke->Changed());
}

void EditHistory::Clear()
{
  steps.clear();
  applied = 0;
  stroke.reset();
  loadOnTop = false;
}

size_t EditHistory::Bytes() const
{
  return StepBytes() + (stroke ? stroke->Bytes() : 0);
}

size_t EditHistory::StepBytes() const
{
  size_t total = 0;
  for(const auto &step : steps)
    total += step->Bytes();
  return total;
}

void EditHistory::Push(std::unique_ptr<EditStep> step)
{
  steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(applied), steps.end());
  steps.push_back(std::move(step));
  applied = steps.size();
  loadOnTop = false;
  Trim();
}

void EditHistory::Trim()
{
  // Only steps done can go: what is taken back is needed for redoing.
  size_t total = StepBytes();
  while(applied > 0 && (steps.size() > maxSteps || total > maxBytes))
  {
    total -= steps.front()->Bytes();
    steps.pop_front();
    --applied;
  }
}

void EditHistory::Forget(const std::string &why)
{
  LogLine("undo history: " + why + "; the history is cleared");
  Clear();
}
