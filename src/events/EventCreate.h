#pragma once

#include "base/LogGate.h"
#include "events/Event.h"
#include "gfx/Matrix.h"
#include "gfx/Viewport.h"
#include "res/RgbColour.h"

class SaveFolder;
class Studio;
class ToolButton;
class VoxelModel;

// The creation screen: the palette, the undo and redo buttons, the model in
// its white area with black outlines, and the selected tool's cursor. Each
// frame reads the input (painting, placing, erasing, turning, choosing
// tools, F7/F8, undo and redo), draws and presents. Edits of the model go
// through the studio's history, so that they can be taken back.
class EventCreate : public Event {
public:
  EventCreate(ScreenHost &owner, Studio &studio);

  bool Init() override;
  Event *RunFrame(EventManager &manager) override;

  void SetPenColor(uint8_t red, uint8_t green, uint8_t blue) { penColor = {red, green, blue}; }
  void SetCubeColor(uint8_t red, uint8_t green, uint8_t blue) { cubeColor = {red, green, blue}; }

  const RgbColour &PenColor() const { return penColor; }
  const RgbColour &CubeColor() const { return cubeColor; }
  ToolButton *SelectedTool() const { return selectedTool; }
  ToolButton *CursorTool() const { return cursorTool; }
  void SetSelectedTool(ToolButton *tool) { selectedTool = tool; }
  void SetCursorTool(ToolButton *tool) { cursorTool = tool; }
  bool PenStrokeActive() const { return penStrokeActive; }
  // The model the screen edits.
  VoxelModel *Model() const;
  // Where the model file and the printed picture are written.
  const SaveFolder &Saves() const;

  // The input step: returns this event, or the one a tool button handed back.
  Event *HandleInput();

  // Take back, or do again, one step of the history, with the step's sound.
  // False (and silent) when there is nothing to take back or do again.
  bool Undo();
  bool Redo();

private:
  // Draws the frame and presents it; a frame that draws what the window
  // shows already rests.
  void Render();
  void DrawScene();
  // The first pass blackens the whole screen; later ones draw the cursor.
  void DrawOverlay();
  // The whole 640 by 480 screen.
  Viewport ScreenViewport() const;
  // Paints every point of the line from the previous mouse position towards
  // the current one, stopping one step short of it.
  void PaintStroke();
  // Enables the undo and redo buttons by what the history holds.
  void UpdateHistoryButtons();

private:
  Studio &studio;
  Matrix worldMatrix = Matrix::Identity();
  int mouseX = 0;
  int mouseY = 0;
  int prevMouseX = 0;
  int prevMouseY = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  bool penStrokeActive = false;
  RgbColour penColor{255, 0, 0};
  RgbColour cubeColor{255, 255, 255};
  ToolButton *selectedTool = nullptr;
  ToolButton *cursorTool = nullptr;
  // The left button's reading of this frame and of the previous one.
  int leftDown = 0;
  int leftWasDown = 0;
  // The undo and redo keys' readings of this frame and of the previous one:
  // each press acts once.
  int undoDown = 0;
  int undoWasDown = 0;
  int redoDown = 0;
  int redoWasDown = 0;
  bool firstScenePassDone = false;
  bool firstOverlayDone = false;
  // F7 and F8 failures: one line per press of the key.
  LogGate loadLog{LogGate::UntilRearmed};
  LogGate saveLog{LogGate::UntilRearmed};
};
