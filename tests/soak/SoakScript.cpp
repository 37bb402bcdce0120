#include "SoakScript.h"

#include <algorithm>

SoakScript::SoakScript(uint32_t seed, const Layout &toyLayout)
  : random(seed), layout(toyLayout)
{
}

SoakScript::Step SoakScript::Next()
{
  if(steps.empty())
    Plan();
  last = steps.front();
  steps.pop_front();
  return last;
}

std::string SoakScript::Counts() const
{
  return "strokes " + std::to_string(strokes) + ", clicks " + std::to_string(clicks) + ", tools chosen " +
         std::to_string(tools) + ", undo keys " + std::to_string(undos) + ", redo keys " + std::to_string(redos) + ", F7 " + std::to_string(loads) + ", F8 " + std::to_string(saves) + ", F11 " +
         std::to_string(toggles) + ", prints " + std::to_string(prints) + ", exits to the title " +
         std::to_string(exits) + ", restarts " + std::to_string(restarts) + ", cubes cleared away " +
         std::to_string(erasures);
}

void SoakScript::Plan()
{
  // Weights in thousandths; the rare ones are slow (a print, the pauses of
  // the exit and start buttons, a restart) or write 18 MB (F8).
  const int roll = std::uniform_int_distribution<int>(0, 999)(random);
  if(roll < 280)
    Stroke(std::uniform_int_distribution<int>(2, 40)(random));
  else if(roll < 520)
    Click();
  else if(roll < 740)
  {
    // Every button in turn, then at random; the exit and the printer have
    // steps of their own, and a pen stands in for them here.
    int index = nextTool < Layout::ButtonCount ? nextTool++
                                               : std::uniform_int_distribution<int>(0, Layout::ButtonCount - 1)(random);
    if(index == layout.exitTool || index == layout.printerTool)
      index += 4;
    ChooseTool(index);
  }
  else if(roll < 830)
    Idle(std::uniform_int_distribution<int>(1, 30)(random));
  else if(roll < 870)
    Hold(&Step::undo, std::uniform_int_distribution<int>(1, 3)(random));
  else if(roll < 895)
    Hold(&Step::redo, std::uniform_int_distribution<int>(1, 3)(random));
  else if(roll < 930)
    Hold(&Step::f7, std::uniform_int_distribution<int>(1, 4)(random));
  else if(roll < 955)
    Hold(&Step::f8, 1);
  else if(roll < 972)
  {
    Step step = last;
    step.left = false;
    step.special = Special::ToggleFullscreen;
    steps.push_back(step);
    ++toggles;
  }
  else if(roll < 985)
  {
    const Layout::Rect &printer = layout.tools[layout.printerTool];
    Step step;
    step.x = (printer.left + printer.right) / 2;
    step.y = (printer.top + printer.bottom) / 2;
    steps.push_back(step);
    step.left = true;
    steps.push_back(step);
    step.left = false;
    step.special = Special::Print;
    steps.push_back(step);
    ++prints;
  }
  else if(roll < 993)
  {
    Step step;
    step.special = Special::ExitAndStart;
    steps.push_back(step);
    ++exits;
  }
  else
  {
    Step step;
    step.special = Special::Restart;
    steps.push_back(step);
    ++restarts;
  }
}

void SoakScript::EraseAt(int x, int y)
{
  ChooseTool(0);
  Step step;
  step.x = x;
  step.y = y;
  steps.push_back(step);
  step.left = true;
  steps.push_back(step);
  step.left = false;
  steps.push_back(step);
  ++erasures;
}

void SoakScript::ChooseTool(int index)
{
  const Layout::Rect &tool = layout.tools[index];
  Step step;
  step.x = std::uniform_int_distribution<int>(tool.left, std::max(tool.left, tool.right - 1))(random);
  step.y = std::uniform_int_distribution<int>(tool.top, std::max(tool.top, tool.bottom - 1))(random);
  steps.push_back(step);
  step.left = true;
  steps.push_back(step);
  step.left = false;
  steps.push_back(step);
  ++tools;
}

void SoakScript::PointAtModel(int &x, int &y)
{
  // Now and then a little outside the model area, where nothing may happen.
  x = std::uniform_int_distribution<int>(layout.model.left - 8, layout.model.right + 8)(random);
  y = std::uniform_int_distribution<int>(layout.model.top - 8, layout.model.bottom + 8)(random);
}

void SoakScript::Stroke(int frames)
{
  Step step;
  PointAtModel(step.x, step.y);
  steps.push_back(step);
  step.left = true;
  for(int i = 0; i < frames; ++i)
  {
    steps.push_back(step);
    step.x = std::clamp(step.x + std::uniform_int_distribution<int>(-25, 25)(random), -20, 660);
    step.y = std::clamp(step.y + std::uniform_int_distribution<int>(-25, 25)(random), -20, 500);
  }
  step.left = false;
  steps.push_back(step);
  ++strokes;
}

void SoakScript::Click()
{
  Step step;
  PointAtModel(step.x, step.y);
  steps.push_back(step);
  step.left = true;
  steps.push_back(step);
  step.left = false;
  steps.push_back(step);
  ++clicks;
}

void SoakScript::Hold(bool Step::*key, int frames)
{
  Step step = last;
  step.left = false;
  step.special = Special::None;
  step.f7 = step.f8 = step.undo = step.redo = false;
  step.*key = true;
  for(int i = 0; i < frames; ++i)
    steps.push_back(step);
  step.*key = false;
  steps.push_back(step);
  loads += key == &Step::f7;
  saves += key == &Step::f8;
  undos += key == &Step::undo;
  redos += key == &Step::redo;
}

void SoakScript::Idle(int frames)
{
  Step step = last;
  step.left = false;
  step.special = Special::None;
  step.f7 = step.f8 = step.undo = step.redo = false;
  for(int i = 0; i < frames; ++i)
    steps.push_back(step);
}
