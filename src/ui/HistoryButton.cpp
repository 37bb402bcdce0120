#include "ui/HistoryButton.h"

#include "base/Log.h"
#include "events/EventCreate.h"
#include "events/SoundSink.h"
#include "res/DataFiles.h"

namespace {
  // The two buttons' faces, 88 by 48, stacked in the corner beside the pen
  // row (undo) and the cube row (redo); their hit rectangles (inclusive)
  // cover the faces exactly.
  constexpr float ButtonX = 8.f;
  constexpr float UndoY = 16.f;
  constexpr float RedoY = 64.f;
  constexpr int FaceWidth = 88;
  constexpr int FaceHeight = 48;

  HitRect FaceRect(float x, float y)
  {
    const int left = static_cast<int>(x);
    const int top = static_cast<int>(y);
    return {left, top, left + FaceWidth - 1, top + FaceHeight - 1};
  }
}

HistoryButton::HistoryButton(ToolKind kind)
  : ToolButton(kind)
{
}

bool HistoryButton::Load(GraphicsDevice &graphicsDevice, const DataFiles &dataFiles)
{
  if(kind != ToolKind::Undo && kind != ToolKind::Redo)
  {
    LogLine("cannot load a history button for a tool that is neither undo nor redo");
    return false;
  }
  const bool undo = kind == ToolKind::Undo;
  const Vector2 at{ButtonX, undo ? UndoY : RedoY};
  return LoadIconOnly(graphicsDevice, dataFiles.Path(undo ? "undo.png" : "redo.png"), at, FaceRect(at.x, at.y));
}

Event *HistoryButton::Poll(const SoundSink &sounds, EventCreate &, int x, int y)
{
  const bool inside = hitRect.Contains(x, y);
  if(inside && !hovered && enabled)
    sounds.Play(SoundId::Select);
  hovered = inside;
  return nullptr;
}

int HistoryButton::OnRelease(const SoundSink &, EventCreate &event)
{
  if(hovered && enabled)
  {
    if(kind == ToolKind::Undo)
      event.Undo();
    else
      event.Redo();
  }
  return 0;
}

void HistoryButton::Draw()
{
  if(enabled)
    DrawNormal();
  else
    DrawTexture(icon, nullptr, nullptr, &position, DisabledColour);
}
