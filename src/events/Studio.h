#pragma once

#include "events/SoundId.h"
#include "events/SoundSink.h"

#include <array>
#include <memory>

class BackgroundWidget;
class EditHistory;
class EndButton;
class GraphicsDevice;
class HistoryButton;
class OrbitCamera;
class ScreenHost;
class SelectedAnimation;
class Sound;
class StartButton;
class TitlePicture;
class ToolButton;
class VoxelModel;

// Everything the two screens share, loaded once at start-up: the cube model
// and the history of its edits, the camera, every widget of both screens and
// every sound.
class Studio : public SoundSink {
public:
  static constexpr int ToolCount = 22;
  // Index of the red pen, the tool the creation screen starts with.
  static constexpr int RedPenIndex = 4;

  // The process-wide studio, made empty on first use and destroyed at exit.
  static Studio &Instance();

  Studio();
  Studio(const Studio &) = delete;
  Studio &operator=(const Studio &) = delete;
  ~Studio() override;

  // Sets the model viewport, then builds and loads the model and its
  // history, the camera, the title widgets, the background, the 22 tool
  // buttons, the undo and redo buttons and the sounds, in that order, the
  // pictures and sounds from the application's data folder. Stops at the
  // first failure (false), keeping what was built.
  bool Init(ScreenHost &app, GraphicsDevice &device, int width, int height);
  // Deletes everything built; may run any number of times.
  void Teardown();

  // Plays one of the sounds, replacing whatever plays.
  void Play(SoundId id) const override;

  ScreenHost *Owner() const { return owner; }
  OrbitCamera *Camera() const { return camera.get(); }
  TitlePicture *GetTitlePicture() const { return titlePicture.get(); }
  StartButton *GetStartButton() const { return startButton.get(); }
  EndButton *GetEndButton() const { return endButton.get(); }
  SelectedAnimation *GetSelectedAnimation() const { return selectedAnimation.get(); }
  BackgroundWidget *Background() const { return background.get(); }
  VoxelModel *Model() const { return model.get(); }
  EditHistory *History() const { return history.get(); }
  ToolButton *Tool(int index) const { return tools[index].get(); }
  HistoryButton *UndoButton() const { return undoButton.get(); }
  HistoryButton *RedoButton() const { return redoButton.get(); }
  Sound *GetSound(SoundId id) const { return sounds[static_cast<int>(id)].get(); }

private:
  ScreenHost *owner = nullptr;
  std::unique_ptr<OrbitCamera> camera;
  std::unique_ptr<TitlePicture> titlePicture;
  std::unique_ptr<StartButton> startButton;
  std::unique_ptr<EndButton> endButton;
  std::unique_ptr<SelectedAnimation> selectedAnimation;
  std::unique_ptr<BackgroundWidget> background;
  std::unique_ptr<VoxelModel> model;
  std::unique_ptr<EditHistory> history;
  std::array<std::unique_ptr<ToolButton>, ToolCount> tools;
  std::unique_ptr<HistoryButton> undoButton;
  std::unique_ptr<HistoryButton> redoButton;
  std::array<std::unique_ptr<Sound>, static_cast<int>(SoundId::Count)> sounds;
};
