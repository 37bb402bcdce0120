#include "events/Studio.h"

#include "app/PaintApp.h"
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
  const char *const SoundFiles[] = {"data/start.wav", "data/end.wav", "data/select.wav",
                                    "data/selected.wav", "data/door.wav", "data/draw.wav",
                                    "data/put.wav", "data/del.wav", "data/print.wav",
                                    "data/undo.wav", "data/redo.wav"};
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

bool Studio::Init(PaintApp &app, GraphicsDevice &device, int width, int height)
{
  owner = &app;

  // The model area, where the model is drawn, edited and captured.
  const int areaWidth = width - 134;
  const int areaHeight = height - 144;
  device.SetViewport({118, 128, static_cast<uint32_t>(areaWidth), static_cast<uint32_t>(areaHeight), 0.f, 1.f});

  model = std::make_unique<VoxelModel>();
  VoxelModelSetup setup;
  setup.device = &device;
  setup.halfSize = 20.f;
  setup.bufferWidth = width;
  setup.bufferHeight = height;
  setup.left = 118;
  setup.top = 128;
  setup.width = areaWidth;
  setup.height = areaHeight;
  if(!model->Init(setup))
    return false;
  history = std::make_unique<EditHistory>(*model);

  camera = std::make_unique<OrbitCamera>();
  camera->Init(device, width, height);

  titlePicture = std::make_unique<TitlePicture>();
  if(!titlePicture->Load(device, 640, 480))
    return false;
  startButton = std::make_unique<StartButton>();
  if(!startButton->Load(device))
    return false;
  endButton = std::make_unique<EndButton>();
  if(!endButton->Load(device))
    return false;
  selectedAnimation = std::make_unique<SelectedAnimation>();
  if(!selectedAnimation->Load(device))
    return false;
  background = std::make_unique<BackgroundWidget>();
  if(!background->Load(device, 640, 480))
    return false;

  for(int i = 0; i < ToolCount; ++i)
  {
    tools[i] = ToolPalette::MakeToolButton(i);
    if(!tools[i] || !tools[i]->Load(device))
      return false;
  }
  undoButton = std::make_unique<HistoryButton>(ToolKind::Undo);
  if(!undoButton->Load(device))
    return false;
  redoButton = std::make_unique<HistoryButton>(ToolKind::Redo);
  if(!redoButton->Load(device))
    return false;

  for(int i = 0; i < static_cast<int>(SoundId::Count); ++i)
  {
    sounds[i] = std::make_unique<Sound>();
    if(!sounds[i]->Load(app.Sounds(), SoundFiles[i]))
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
