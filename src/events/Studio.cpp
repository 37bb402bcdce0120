#include "events/Studio.h"

#include "events/ScreenHost.h"
#include "gfx/GraphicsDevice.h"
#include "platform/InputSource.h"
#include "res/DataFiles.h"
#include "res/SoundSystem.h"
#include "store/SaveFolder.h"
#include "base/ScreenLayout.h"
#include "create/OrbitCamera.h"
#include "history/EditHistory.h"
#include "model/VoxelModel.h"
#include "res/Sound.h"
#include "ui/BackgroundWidget.h"
#include "ui/EndButton.h"
#include "ui/HistoryButton.h"
#include "ui/SelectedAnimation.h"
#include "ui/StartButton.h"
#include "ui/TitlePicture.h"
#include "ui/ToolButton.h"
#include "ui/ToolPalette.h"

namespace {
  // In the order of SoundId.
  const char *const SoundFiles[] = {"start.wav", "end.wav", "select.wav", "selected.wav", "door.wav", "draw.wav",
                                    "put.wav",   "del.wav", "print.wav",  "undo.wav",     "redo.wav"};
  static_assert(sizeof(SoundFiles) / sizeof(SoundFiles[0]) == static_cast<int>(SoundId::Count));
}

Studio &Studio::Instance()
{
  static Studio studio;
  return studio;
}

Studio::Studio() = default;

Studio::~Studio()
{
  Teardown();
}

bool Studio::Init(ScreenHost &app, GraphicsDevice &device, int width, int height)
{
  owner = &app;

  // The model area, where the model is drawn, edited and captured.
  device.SetViewport({ScreenLayout::ModelLeft, ScreenLayout::ModelTop, ScreenLayout::ModelWidth,
                      ScreenLayout::ModelHeight, 0.f, 1.f});

  model = std::make_unique<VoxelModel>();
  VoxelModelSetup setup;
  setup.device = &device;
  setup.halfSize = 20.f;
  setup.bufferWidth = width;
  setup.bufferHeight = height;
  setup.left = ScreenLayout::ModelLeft;
  setup.top = ScreenLayout::ModelTop;
  setup.width = ScreenLayout::ModelWidth;
  setup.height = ScreenLayout::ModelHeight;
  if(!model->Init(setup))
    return false;
  history = std::make_unique<EditHistory>(*model);

  camera = std::make_unique<OrbitCamera>();
  camera->Init(device, width, height);

  const DataFiles &files = app.Files();
  titlePicture = std::make_unique<TitlePicture>();
  if(!titlePicture->Load(device, files, 640, 480))
    return false;
  startButton = std::make_unique<StartButton>();
  if(!startButton->Load(device, files))
    return false;
  endButton = std::make_unique<EndButton>();
  if(!endButton->Load(device, files))
    return false;
  selectedAnimation = std::make_unique<SelectedAnimation>();
  if(!selectedAnimation->Load(device, files))
    return false;
  background = std::make_unique<BackgroundWidget>();
  if(!background->Load(device, files, 640, 480))
    return false;

  for(int i = 0; i < ToolCount; ++i)
  {
    tools[i] = ToolPalette::MakeToolButton(i);
    if(!tools[i] || !tools[i]->Load(device, files))
      return false;
  }
  undoButton = std::make_unique<HistoryButton>(ToolKind::Undo);
  if(!undoButton->Load(device, files))
    return false;
  redoButton = std::make_unique<HistoryButton>(ToolKind::Redo);
  if(!redoButton->Load(device, files))
    return false;

  for(int i = 0; i < static_cast<int>(SoundId::Count); ++i)
  {
    sounds[i] = std::make_unique<Sound>();
    if(!sounds[i]->Load(app.Sounds(), files.Path(SoundFiles[i])))
      return false;
  }
  return true;
}

void Studio::Teardown()
{
  // The history edits the model: it goes first.
  history.reset();
  model.reset();
  camera.reset();
  titlePicture.reset();
  startButton.reset();
  endButton.reset();
  selectedAnimation.reset();
  background.reset();
  for(auto &tool : tools)
    tool.reset();
  undoButton.reset();
  redoButton.reset();
  for(auto &sound : sounds)
    sound.reset();
}

void Studio::Play(SoundId id) const
{
  if(Sound *sound = GetSound(id))
    sound->Play();
}
