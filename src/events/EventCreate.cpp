#include "events/EventCreate.h"

#include "base/ScreenLayout.h"
#include "create/OrbitCamera.h"
#include "create/Stroke.h"
#include "events/ScreenHost.h"
#include "events/Studio.h"
#include "gfx/GraphicsDevice.h"
#include "history/EditHistory.h"
#include "model/VoxelModel.h"
#include "platform/InputSource.h"
#include "res/DataFiles.h"
#include "res/SoundSystem.h"
#include "store/SaveFolder.h"
#include "ui/BackgroundWidget.h"
#include "ui/HistoryButton.h"
#include "ui/ToolButton.h"

#include <exception>
#include <string>

EventCreate::EventCreate(ScreenHost &owner, Studio &studio)
  : Event(owner, "EventCreate"), studio(studio),
    selectedTool(studio.Tool(Studio::RedPenIndex)), cursorTool(studio.Tool(Studio::RedPenIndex))
{
}

bool EventCreate::Init()
{
  clientWidth = owner.Width();
  clientHeight = owner.Height();
  studio.Camera()->Rotate(OrbitCamera::StartYaw, OrbitCamera::StartPitch);
  studio.Camera()->Apply();
  studio.Model()->RefreshPickBuffer(owner.Device());
  return true;
}

VoxelModel *EventCreate::Model() const
{
  return studio.Model();
}

const SaveFolder &EventCreate::Saves() const
{
  return owner.Saves();
}

Event *EventCreate::RunFrame(EventManager &)
{
  if(!owner.IsRunning() || !owner.IsActive())
    return this;

  Event *next = HandleInput();
  Render();
  if(owner.Input().KeyState(Key::Escape))
    owner.RequestClose();
  return next;
}

Event *EventCreate::HandleInput()
{
  InputSource &input = owner.Input();
  GraphicsDevice &device = owner.Device();
  EditHistory &history = *studio.History();

  input.MousePosition(mouseX, mouseY);
  leftWasDown = leftDown;
  leftDown = input.KeyState(Key::LeftButton);

  // F7 and F8 act in every frame while held. A failure leaves the model and
  // the file as they were, and the toy goes on; it is reported once per press.
  const std::string modelFile = owner.Saves().Path(SaveFolder::ModelFileName);
  if(input.KeyState(Key::F7))
  {
    try
    {
      std::string reason;
      if(!history.Load(modelFile, reason))
        loadLog.Write(reason);
    }
    catch(const std::exception &error)
    {
      loadLog.Write(std::string("could not load the model: ") + error.what());
    }
  }
  else
    loadLog.Rearm();
  if(input.KeyState(Key::F8))
  {
    try
    {
      std::string reason;
      if(!owner.Saves().Prepare(reason) || !studio.Model()->Save(modelFile, reason))
        saveLog.Write(reason);
    }
    catch(const std::exception &error)
    {
      saveLog.Write(std::string("could not save the model: ") + error.what());
    }
  }
  else
    saveLog.Rearm();

  // Undo and redo act once per press of their keys.
  undoWasDown = undoDown;
  undoDown = input.KeyState(Key::Undo);
  redoWasDown = redoDown;
  redoDown = input.KeyState(Key::Redo);
  if(undoDown && !undoWasDown)
    Undo();
  if(redoDown && !redoWasDown)
    Redo();

  // While a pen stroke paints, the palette and the history's buttons are frozen.
  if(!penStrokeActive)
  {
    for(int i = 0; i < Studio::ToolCount; ++i)
      if(Event *next = studio.Tool(i)->Poll(studio, *this, mouseX, mouseY))
        return next;
    UpdateHistoryButtons();
    studio.UndoButton()->Poll(studio, *this, mouseX, mouseY);
    studio.RedoButton()->Poll(studio, *this, mouseX, mouseY);
  }

  const ToolKind kind = selectedTool->Kind();
  if(leftDown && !leftWasDown)
  {
    switch(kind)
    {
      case ToolKind::Pen:
        if(history.PaintAt(device, mouseX, mouseY, penColor))
          penStrokeActive = true;
        break;
      case ToolKind::Cube:
        if(history.PlaceCubeAt(mouseX, mouseY, cubeColor))
          studio.Play(SoundId::Put);
        break;
      case ToolKind::Eraser:
        if(history.EraseAt(mouseX, mouseY))
          studio.Play(SoundId::Del);
        break;
      default:
        break;
    }
  }
  else if(leftDown && leftWasDown)
  {
    if(mouseX != prevMouseX || mouseY != prevMouseY)
    {
      if(kind == ToolKind::Pen)
        PaintStroke();
      else if(kind == ToolKind::Hand)
      {
        // One pixel is one degree; moving the mouse up raises the eye. The
        // pick buffer is rebuilt from the view that Apply just installed, on
        // helper threads while the frame goes on.
        studio.Camera()->Rotate(static_cast<float>(mouseX - prevMouseX), static_cast<float>(prevMouseY - mouseY));
        studio.Camera()->Apply();
        studio.Model()->StartPickBufferRefresh(device);
      }
    }
  }
  else if(!leftDown && leftWasDown)
  {
    // The release ends the pen stroke: one step of the history.
    history.EndStroke();
    // Tools are chosen on release: the later of two hovered buttons wins.
    for(int i = 0; i < Studio::ToolCount; ++i)
    {
      ToolButton *tool = studio.Tool(i);
      if(tool->Hovered() && tool->Kind() != ToolKind::Exit && tool->Kind() != ToolKind::Printer)
      {
        selectedTool = tool;
        studio.Play(SoundId::Selected);
      }
      tool->OnRelease(studio, *this);
    }
    studio.UndoButton()->OnRelease(studio, *this);
    studio.RedoButton()->OnRelease(studio, *this);
    penStrokeActive = false;
  }

  studio.Camera()->Apply();
  device.SetTransform(TransformKind::World, worldMatrix);
  prevMouseX = mouseX;
  prevMouseY = mouseY;
  return this;
}

void EventCreate::PaintStroke()
{
  GraphicsDevice &device = owner.Device();
  EditHistory &history = *studio.History();
  ForEachStrokePoint(prevMouseX, prevMouseY, mouseX, mouseY, [&](int x, int y) {
    if(x >= 0 && x < clientWidth && y >= 0 && y < clientHeight)
      history.PaintAt(device, x, y, penColor);
  });
}

bool EventCreate::Undo()
{
  EditHistory *history = studio.History();
  if(!history || !history->Undo())
    return false;
  studio.Play(SoundId::Undo);
  return true;
}

bool EventCreate::Redo()
{
  EditHistory *history = studio.History();
  if(!history || !history->Redo())
    return false;
  studio.Play(SoundId::Redo);
  return true;
}

void EventCreate::UpdateHistoryButtons()
{
  const EditHistory *history = studio.History();
  if(HistoryButton *undo = studio.UndoButton())
    undo->SetEnabled(history && history->CanUndo());
  if(HistoryButton *redo = studio.RedoButton())
    redo->SetEnabled(history && history->CanRedo());
}

void EventCreate::Render()
{
  GraphicsDevice &device = owner.Device();
  device.SetViewport(ScreenViewport());
  device.Clear(true, true, 0xFFFFFFFF, 1.f);
  if(device.BeginScene())
  {
    DrawScene();
    device.EndScene();
  }
  studio.Model()->DrawOutlines(device);
  // The cursor changes far more often than the model under it.
  device.MarkLayer();
  DrawOverlay();
  device.PresentFrame();
}

Viewport EventCreate::ScreenViewport() const
{
  return {0, 0, static_cast<uint32_t>(owner.Width()), static_cast<uint32_t>(owner.Height()), 0.f, 1.f};
}

void EventCreate::DrawScene()
{
  GraphicsDevice &device = owner.Device();
  device.State().ambient = 0xFFFFFFFF;
  device.State().light0Enabled = false;

  if(firstScenePassDone)
  {
    studio.Background()->DrawSprite();
    for(int i = 0; i < Studio::ToolCount; ++i)
    {
      ToolButton *tool = studio.Tool(i);
      if(tool == selectedTool)
        tool->DrawSelected();
      else
        tool->DrawNormal();
    }
    UpdateHistoryButtons();
    studio.UndoButton()->Draw();
    studio.RedoButton()->Draw();
  }

  // The model changes more often than the palette around it.
  device.MarkLayer();
  device.SetViewport({ScreenLayout::ModelLeft, ScreenLayout::ModelTop, ScreenLayout::ModelWidth,
                      ScreenLayout::ModelHeight, 0.f, 1.f});
  device.Clear(true, false, 0xFFFFFFFF, 1.f);
  device.State().cullMode = CullMode::CounterClockwise;
  device.SetTransform(TransformKind::World, worldMatrix);
  device.SetTexture(nullptr);
  studio.Model()->Render(device);
  firstScenePassDone = true;
}

void EventCreate::DrawOverlay()
{
  GraphicsDevice &device = owner.Device();
  if(!firstOverlayDone)
  {
    device.SetViewport(ScreenViewport());
    device.Clear(true, false, 0xFF000000, 1.f);
    firstOverlayDone = true;
    return;
  }
  if(cursorTool)
    cursorTool->DrawCursor(device, mouseX, mouseY);
}
